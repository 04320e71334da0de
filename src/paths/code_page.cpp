#include "paths/code_page.h"

#include <utility>

namespace shiftlet {

CodePage CodePage::Utf8() {
  CodePage codePage;
  codePage.utf8_ = true;
  codePage.SetSuperscriptDigits("\xC2\xB9", "\xC2\xB2", "\xC2\xB3");
  codePage.SetTypographicQuotes({"\xE2\x80\x98", "\xE2\x80\x99", "\xE2\x80\x9A", "\xE2\x80\x9B",
                                 "\xE2\x80\x9C", "\xE2\x80\x9D", "\xE2\x80\x9E"});
  return codePage;
}

CodePage CodePage::Ascii() {
  CodePage codePage;
  codePage.ascii_ = true;
  return codePage;
}

std::size_t CodePage::Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t offset) {
    return static_cast<unsigned char>(text[at + offset]);
  };
  const unsigned char lead = byte(0);
  // The sequence's length, and the range of its second byte: narrower after some lead bytes, so
  // that no character has two encodings and none is a UTF-16 surrogate.
  std::size_t length = 1;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  }
  if (length == 1 || text.size() - at < length || byte(1) < low || byte(1) > high) {
    return 1;
  }
  for (std::size_t next = 2; next < length; ++next) {
    if (byte(next) < 0x80 || byte(next) > 0xBF) {
      return 1;
    }
  }
  return length;
}

void CodePage::AddLeadBytes(unsigned char first, unsigned char last) {
  for (unsigned byte = first; byte <= last; ++byte) {
    lead_[byte] = true;
  }
}

void CodePage::SetSuperscriptDigits(std::string one, std::string two, std::string three) {
  superscriptDigits_ = {std::move(one), std::move(two), std::move(three)};
}

int CodePage::SuperscriptDigit(std::string_view character) const {
  for (std::size_t digit = 0; digit < superscriptDigits_.size(); ++digit) {
    if (!character.empty() && character == superscriptDigits_[digit]) {
      return static_cast<int>(digit) + 1;
    }
  }
  return 0;
}

void CodePage::SetTypographicQuotes(std::vector<std::string> quotes) {
  typographicQuotes_ = std::move(quotes);
}

bool CodePage::IsTypographicQuote(std::string_view character) const {
  for (const std::string& quote : typographicQuotes_) {
    if (!quote.empty() && character == quote) {
      return true;
    }
  }
  return false;
}

}  // namespace shiftlet
