#include "paths/shown_text.h"

namespace shiftlet {

namespace {

void AppendEscaped(std::string& shown, unsigned char byte) {
  constexpr const char* kHexDigits = "0123456789ABCDEF";
  shown += "\\x";
  shown += kHexDigits[byte >> 4];
  shown += kHexDigits[byte & 0x0F];
}

}  // namespace

std::string ShownText(std::string_view text, const CodePage& codePage) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    // In UTF-8 a C2 is never a continuation byte, so C2 with 80 to 9F after it is always U+0080
    // to U+009F, wherever it stands. Where the system's text is ASCII, what is shown is often
    // read later in a UTF-8 terminal, so it is escaped as for one.
    const bool c1 = (codePage.IsUtf8() || codePage.IsAscii()) && byte == 0xC2 &&
                    at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) <= 0x9F &&
                    static_cast<unsigned char>(text[at + 1]) >= 0x80;
    if (c1) {
      AppendEscaped(shown, byte);
      AppendEscaped(shown, static_cast<unsigned char>(text[++at]));
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendEscaped(shown, byte);
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

}  // namespace shiftlet
