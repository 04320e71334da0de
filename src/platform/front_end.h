#pragma once

#include <memory>
#include <string>

#include "driver/platform.h"

namespace shiftlet {

// The front-end this build was made with (the terminal one, or the Windows one).
std::unique_ptr<Platform> MakeFrontEnd();

// Tells the user about an error that stopped the program before a conversion could start.
void ReportStartupError(const std::string& what);

}  // namespace shiftlet
