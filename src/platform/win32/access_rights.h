#pragma once

#include <windows.h>

namespace shiftlet {

// Whether the access rights of the file at `path` give whoever runs the program `access` (generic
// rights allowed), DELETE also through `folder`'s right to delete what it holds, as Windows
// grants it. False when the rights cannot be read: an access denied is then taken as it is.
bool RightsAllow(const char* path, const char* folder, DWORD access);

}  // namespace shiftlet
