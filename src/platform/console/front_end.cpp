#include "platform/front_end.h"

#include <iostream>

#include "platform/console/console_platform.h"

namespace shiftlet {

std::unique_ptr<Platform> MakeFrontEnd() {
  return std::make_unique<ConsolePlatform>(std::cin, std::cout);
}

}  // namespace shiftlet
