#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace shiftlet {

// Where the characters of the system's 8-bit text begin, so that names and paths are worked on by
// character. In the double-byte code pages (932, 936, 949, 950) a lead byte and the byte after it
// are one character, and that second byte may be 0x5C, the backslash: 表 is 95 5C. The platform
// says which code page it has; file contents never go through this and pass byte for byte.
class CodePage {
 public:
  // One byte, one character: the single-byte code pages.
  CodePage() = default;

  // UTF-8, which Windows 10 and later can use as the system's code page (65001): a character is a
  // lead byte and the continuation bytes it announces. A sequence that is invalid or cut short
  // counts one byte per character, so no name is ever cut inside a character, nor a character
  // made of bytes that are not one.
  static CodePage Utf8();

  // The character set of a system that sets none (POSIX's C locale: no locale in the environment,
  // as under cron, systemd or env -i): one byte a character, of which only ASCII is known. What
  // is shown there is often read later in a UTF-8 terminal, so it is escaped as UTF-8 would be.
  static CodePage Ascii();

  // Marks the bytes from `first` to `last`, both included, as lead bytes (as GetCPInfo lists
  // them in ranges).
  void AddLeadBytes(unsigned char first, unsigned char last);

  bool IsLeadByte(char byte) const { return lead_[static_cast<unsigned char>(byte)]; }
  bool IsUtf8() const { return utf8_; }
  bool IsAscii() const { return ascii_; }

  // The bytes of the superscript digits one, two and three in this code page, each empty where it
  // has none (1252 has B9, B2, B3; 932 has none). Windows keeps COM¹ to LPT³ for devices as it
  // keeps COM1, and it reads them through the code page.
  void SetSuperscriptDigits(std::string one, std::string two, std::string three);
  // 1, 2 or 3 when `character` is that superscript digit in this code page; 0 otherwise.
  int SuperscriptDigit(std::string_view character) const;

  // The bytes of the typographic quotes U+2018 to U+201E in this code page, those it has
  // (1252: 82, 84, 91 to 94). PowerShell reads them as quotes, so a name holding one cannot be
  // put between quotes for it.
  void SetTypographicQuotes(std::vector<std::string> quotes);
  // Whether `character` is one of those quotes in this code page.
  bool IsTypographicQuote(std::string_view character) const;

  // The length in bytes of the character that starts at `at` (< text.size()). In a double-byte
  // code page: 2 for a lead byte with a byte after it, else 1; a lead byte at the very end stands
  // alone. In UTF-8: that of a whole, valid sequence, else 1.
  std::size_t CharacterLength(std::string_view text, std::size_t at) const {
    if (utf8_) {
      return Utf8SequenceLength(text, at);
    }
    return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
  }

 private:
  static std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

  std::array<bool, 256> lead_{};
  bool utf8_ = false;
  bool ascii_ = false;
  std::array<std::string, 3> superscriptDigits_;
  std::vector<std::string> typographicQuotes_;
};

}  // namespace shiftlet
