#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace shiftlet {

// Where the characters of the system's 8-bit text begin, so that names and paths are worked on by
// character. In the double-byte code pages (932, 936, 949, 950) a lead byte and the byte after it
// are one character, and that second byte may be 0x5C, the backslash: 表 is 95 5C. The platform
// says which code page it has; file contents never go through this and pass byte for byte.
class CodePage {
 public:
  // One byte, one character: the single-byte code pages. Also right for UTF-8 as far as paths
  // go, as no byte of a multi-byte UTF-8 character is a separator or a dot.
  CodePage() = default;

  // Marks the bytes from `first` to `last`, both included, as lead bytes (as GetCPInfo lists
  // them in ranges).
  void AddLeadBytes(unsigned char first, unsigned char last);

  bool IsLeadByte(char byte) const { return lead_[static_cast<unsigned char>(byte)]; }

  // The length in bytes of the character that starts at `at` (< text.size()): 2 for a lead byte
  // with a byte after it, else 1. A lead byte at the very end stands alone.
  std::size_t CharacterLength(std::string_view text, std::size_t at) const {
    return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
  }

 private:
  std::array<bool, 256> lead_{};
};

}  // namespace shiftlet
