// What a terminal program shows besides its dialogue: errors on standard error, the texts the
// command line asks for on standard output. The usage texts' program name and whether /options
// are taken come from the build (SHIFTLET_COMMAND_NAME, SHIFTLET_SLASH_OPTIONS).

#include <iostream>

#include "driver/messages.h"
#include "platform/front_end.h"

namespace shiftlet {

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

std::string ReportingCommandName() {
  return SHIFTLET_COMMAND_NAME;
}

void ReportUsageError(const std::string& text) {
  std::cerr << text << std::flush;
}

bool AcceptsSlashOptions() {
  return SHIFTLET_SLASH_OPTIONS;
}

std::unique_ptr<RunOutput> MakeRunOutput(bool /*check*/) {
  return std::make_unique<StreamRunOutput>(std::cout, std::cerr);
}

void ShowCommandText(const std::string& whole, const std::string& /*boxText*/,
                     ShownVerdict /*verdict*/) {
  std::cout << whole << std::flush;
}

}  // namespace shiftlet
