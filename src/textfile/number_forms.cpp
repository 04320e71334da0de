#include "textfile/number_forms.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace shiftlet {

std::string PrintForm(std::int32_t value) {
  std::string form = value < 0 ? "-" : " ";
  // Widen before negating so that the most negative value keeps its magnitude.
  const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  form += std::to_string(magnitude);
  form += ' ';
  return form;
}

std::string PlainForm(std::int32_t value) {
  return std::to_string(value);
}

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Any value with more whole digits than this lies outside every range we are asked for.
constexpr std::int64_t kMaxWholeDigits = 12;
// Exponents are clamped here: far beyond kMaxWholeDigits, far from overflowing the counter.
constexpr std::int64_t kExponentClamp = 1'000'000;

// Decides the rounding of a fraction given by its leading digits: 1 to round away from zero, 0 to
// keep. `moreNonZero` tells whether non-zero digits follow those given; `wholeIsOdd` breaks a tie
// (exactly one half) towards the even neighbour.
int RoundingStep(std::string_view fractionDigits, bool moreNonZero, bool wholeIsOdd) {
  if (fractionDigits.empty() || fractionDigits[0] < '5') {
    return 0;
  }
  if (fractionDigits[0] > '5' || moreNonZero) {
    return 1;
  }
  for (std::size_t i = 1; i < fractionDigits.size(); ++i) {
    if (fractionDigits[i] != '0') {
      return 1;
    }
  }
  return wholeIsOdd ? 1 : 0;
}

// The significant digits of a number, as many as can matter: past kMaxWholeDigits whole digits a
// number overflows, so a few more than that decide any rounding. The rest only count: a number of
// millions of digits is read in one pass with no copy.
class SignificantDigits {
 public:
  // Adds the next digit; `inFraction` tells whether it comes after the decimal point.
  void Add(char digit, bool inFraction) {
    if (count_ == 0 && digit == '0') {
      scale_ -= inFraction ? 1 : 0;  // a leading zero only moves the point
      return;
    }
    if (count_ < kKept) {
      kept_[count_++] = digit;
      scale_ -= inFraction ? 1 : 0;
      return;
    }
    droppedNonZero_ = droppedNonZero_ || digit != '0';
    scale_ += inFraction ? 0 : 1;
  }
  void Scale(std::int64_t powerOfTen) { scale_ += powerOfTen; }

  std::string_view Kept() const { return {kept_.data(), count_}; }
  // value = Kept() * 10^Scale(), plus less than one unit of the last kept digit.
  std::int64_t Scale() const { return scale_; }
  bool DroppedNonZero() const { return droppedNonZero_; }

 private:
  static constexpr std::size_t kKept = static_cast<std::size_t>(kMaxWholeDigits) + 8;
  std::array<char, kKept> kept_{};
  std::size_t count_ = 0;
  std::int64_t scale_ = 0;
  bool droppedNonZero_ = false;
};

// Most numbers in menu files are a few plain digits, perhaps negative: read without the general
// machinery. Returns false for anything else.
bool ReadPlainDigits(std::string_view text, std::int32_t& value) {
  constexpr std::size_t kMaxPlainDigits = 9;  // fits in 32 bits whatever the digits
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || digits.size() > kMaxPlainDigits) {
    return false;
  }
  std::int32_t number = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) {
      return false;
    }
    number = number * 10 + (c - '0');
  }
  value = negative ? -number : number;
  return true;
}

}  // namespace

NumberReading ReadWholeNumber(std::string_view text, std::int32_t min, std::int32_t max) {
  if (std::int32_t plain = 0; ReadPlainDigits(text, plain)) {
    if (plain < min || plain > max) {
      return {NumberStatus::kOverflow, 0};
    }
    return {NumberStatus::kNumber, plain};
  }
  const NumberReading notANumber{NumberStatus::kNotANumber, 0};
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(text[end - 1])) {
    --end;
  }
  std::size_t i = begin;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  SignificantDigits digits;
  bool sawDigit = false;
  for (; i < end && IsDigit(text[i]); ++i) {
    sawDigit = true;
    digits.Add(text[i], false);
  }
  if (i < end && text[i] == '.') {
    for (++i; i < end && IsDigit(text[i]); ++i) {
      sawDigit = true;
      digits.Add(text[i], true);
    }
  }
  if (!sawDigit) {
    return notANumber;
  }
  if (i < end && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool exponentNegative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      ++i;
    }
    if (i == end || !IsDigit(text[i])) {
      return notANumber;
    }
    std::int64_t exponent = 0;
    for (; i < end && IsDigit(text[i]); ++i) {
      if (exponent < kExponentClamp) {
        exponent = exponent * 10 + (text[i] - '0');
      }
    }
    digits.Scale(exponentNegative ? -exponent : exponent);
  }
  if (i != end) {
    return notANumber;
  }
  const std::string_view kept = digits.Kept();
  if (kept.empty()) {
    return {NumberStatus::kNumber, 0};
  }

  const auto keptCount = static_cast<std::int64_t>(kept.size());
  const std::int64_t wholeDigitCount = keptCount + digits.Scale();
  if (wholeDigitCount > kMaxWholeDigits) {
    return {NumberStatus::kOverflow, 0};
  }
  std::int64_t whole = 0;
  std::string_view fraction;
  if (wholeDigitCount <= 0) {
    // Below one: only a first significant digit right after the point can round up.
    fraction = wholeDigitCount == 0 ? kept : std::string_view();
  } else {
    const auto wholeKept = static_cast<std::size_t>(std::min(wholeDigitCount, keptCount));
    for (std::size_t d = 0; d < wholeKept; ++d) {
      whole = whole * 10 + (kept[d] - '0');
    }
    for (std::int64_t z = keptCount; z < wholeDigitCount; ++z) {
      whole *= 10;
    }
    fraction = kept.substr(wholeKept);
  }
  whole += RoundingStep(fraction, digits.DroppedNonZero(), whole % 2 != 0);
  if (negative) {
    whole = -whole;
  }
  if (whole < min || whole > max) {
    return {NumberStatus::kOverflow, 0};
  }
  return {NumberStatus::kNumber, static_cast<std::int32_t>(whole)};
}

}  // namespace shiftlet
