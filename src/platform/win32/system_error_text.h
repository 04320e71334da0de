#pragma once

#include <string>

namespace shiftlet {

// The system's own text for a Win32 error code (GetLastError()), with the code itself:
// "Access is denied (error 5)". Just "error 5" when the system has no text for it.
std::string SystemErrorText(unsigned long code);

}  // namespace shiftlet
