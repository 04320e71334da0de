#pragma once

#include <string>
#include <string_view>

#include "paths/code_page.h"

namespace shiftlet {

// `text` from a file or a path as it may be shown on a terminal, a console, in a box or in the
// log: every control byte (00 to 1F, tab and line ends included, and 7F) becomes "\xNN", and where
// `codePage` is UTF-8 or ASCII (no locale: whoever reads it later likely does so in UTF-8) so does
// each byte of a C1 control (C2 80 to C2 9F: "\xC2\x9B"), so that no
// byte from a stranger's file acts on the reader's terminal nor splits a log line. Every other
// byte, a backslash included, stays as it is: names in 1252 or 932 read as they are, and a lone
// 80 to 9F is part of a character (ś is C5 9B; in 932 a lead byte).
std::string ShownText(std::string_view text, const CodePage& codePage);

}  // namespace shiftlet
