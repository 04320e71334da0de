#pragma once

#include "paths/code_page.h"

namespace shiftlet::testing {

// Code page 932 as Windows gives it to the program: lead bytes 81-9F and E0-FC, no superscript
// digits. In it 表 is 95 5C, ソ is 83 5C and 亜 is 88 9F; the first two end in the byte of '\'.
inline CodePage ShiftJis() {
  CodePage codePage;
  codePage.AddLeadBytes(0x81, 0x9F);
  codePage.AddLeadBytes(0xE0, 0xFC);
  return codePage;
}

// Code page 1252 as Windows gives it to the program: one byte a character, the superscript
// digits one to three at B9, B2 and B3, and the typographic quotes at 82, 84 and 91 to 94.
inline CodePage Windows1252() {
  CodePage codePage;
  codePage.SetSuperscriptDigits("\xB9", "\xB2", "\xB3");
  codePage.SetTypographicQuotes({"\x91", "\x92", "\x82", "\x93", "\x94", "\x84"});
  return codePage;
}

}  // namespace shiftlet::testing
