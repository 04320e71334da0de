#include "platform/front_end.h"

#include <iostream>

#include "driver/messages.h"
#include "platform/console/console_platform.h"

namespace shiftlet {

std::unique_ptr<Platform> MakeFrontEnd() {
  return std::make_unique<ConsolePlatform>(std::cin, std::cout);
}

void ReportStartupError(const std::string& what) {
  std::cout << std::flush;
  std::cerr << messages::kCaption << ": " << what << '\n';
}

}  // namespace shiftlet
