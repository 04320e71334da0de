#include "platform/front_end.h"

#include <iostream>

#include "driver/messages.h"
#include "platform/console/console_platform.h"

namespace shiftlet {

std::unique_ptr<Platform> MakeFrontEnd() {
  return std::make_unique<ConsolePlatform>(std::cin, std::cout);
}

void ReportStartupError(const std::string& what) {
  ReportError(what);
}

void ReportError(const std::string& text) {
  std::cout << std::flush;
  std::cerr << messages::kCaption << ": " << text << '\n';
}

std::string CommandName() {
  return SHIFTLET_COMMAND_NAME;
}

bool AcceptsSlashOptions() {
  return SHIFTLET_SLASH_OPTIONS;
}

void ShowCommandText(const std::string& whole, const std::string& /*boxText*/) {
  std::cout << whole << std::flush;
}

}  // namespace shiftlet
