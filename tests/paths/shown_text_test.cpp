#include "paths/shown_text.h"

#include <gtest/gtest.h>

#include <string>

#include "paths/code_pages.h"

namespace shiftlet {
namespace {

TEST(ShownTextTest, ControlBytesAreEscapedAndEveryOtherByteStays) {
  const CodePage singleByte;
  const CodePage doubleByte = testing::ShiftJis();
  const CodePage utf8 = CodePage::Utf8();
  const CodePage ascii = CodePage::Ascii();
  const struct {
    const char* what;
    std::string text;
    const CodePage& codePage;
    std::string shown;
  } cases[] = {
      {"a title, a clear screen and a colour", "\x1b]0;PWNED\x07\x1b[2J\x1b[31m red", singleByte,
       "\\x1B]0;PWNED\\x07\\x1B[2J\\x1B[31m red"},
      {"the first and last C0 bytes, tab and line ends", std::string("a\0\t\r\n\x1f", 6), utf8,
       "a\\x00\\x09\\x0D\\x0A\\x1F"},
      {"DEL, and a space and tilde beside it", " ~\x7f", doubleByte, " ~\\x7F"},
      {"C1 controls under UTF-8, at both ends of their range",
       "a\xc2\x80\xc2\x9b"
       "5m\xc2\x9f",
       utf8, "a\\xC2\\x80\\xC2\\x9B5m\\xC2\\x9F"},
      {"C1 controls with no locale, read later in UTF-8",
       "a\xc2\x9b"
       "5m\xc2\xa0\x9b",
       ascii, "a\\xC2\\x9B5m\xc2\xa0\x9b"},
      {"the same bytes elsewhere are characters",
       "a\xc2\x80\xc2\x9b"
       "5m",
       singleByte,
       "a\xc2\x80\xc2\x9b"
       "5m"},
      {"UTF-8 characters whose last byte is 80 to 9F", "\xc5\x9b \xc2\xa0 \xe2\x80\x9c", utf8,
       "\xc5\x9b \xc2\xa0 \xe2\x80\x9c"},
      {"a 932 name with trail bytes 5C and 7C", "C:\\\x95\x5c\\\x83\x7c\x9b\x5c.qof", doubleByte,
       "C:\\\x95\x5c\\\x83\x7c\x9b\x5c.qof"},
      {"a 1252 name", "C:\\Men\xfc\\caf\xe9 \x9b\x80.qof", singleByte,
       "C:\\Men\xfc\\caf\xe9 \x9b\x80.qof"},
      {"UTF-8 invalid or cut short", "\xe2\xc2\x9b\xc2\x1b\xc2\x7f\xc2", utf8,
       "\xe2\\xC2\\x9B\xc2\\x1B\xc2\\x7F\xc2"},
      {"a backslash that looks like an escape", "\\x1B", utf8, "\\x1B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.shown, ShownText(c.text, c.codePage));
  }
}

}  // namespace
}  // namespace shiftlet
