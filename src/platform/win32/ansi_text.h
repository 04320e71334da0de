#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace shiftlet {

// `text` in the code page `codePage` (CP_ACP: the system's), as the ANSI calls take it; "" when a
// character has no exact form there. A best fit (a plain "a" for "ā") would name another file,
// so the text must read back as it was. Correct on UTF-8 too, where Windows takes neither
// WC_NO_BEST_FIT_CHARS nor the question whether a default character was used.
std::string AnsiText(std::wstring_view text, UINT codePage = CP_ACP);

}  // namespace shiftlet
