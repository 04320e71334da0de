#include "textfile/number_forms.h"

#include <algorithm>
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
constexpr std::ptrdiff_t kMaxWholeDigits = 12;
// Exponents are clamped here: far beyond kMaxWholeDigits, far from overflowing the counter.
constexpr std::int64_t kExponentClamp = 1'000'000;

// Decides the rounding of a fraction given by its digits: 1 to round away from zero, 0 to keep.
// `wholeIsOdd` breaks a tie (exactly one half) towards the even neighbour.
int RoundingStep(std::string_view fractionDigits, bool wholeIsOdd) {
  if (fractionDigits.empty() || fractionDigits[0] < '5') {
    return 0;
  }
  if (fractionDigits[0] > '5') {
    return 1;
  }
  for (std::size_t i = 1; i < fractionDigits.size(); ++i) {
    if (fractionDigits[i] != '0') {
      return 1;
    }
  }
  return wholeIsOdd ? 1 : 0;
}

}  // namespace

NumberReading ReadWholeNumber(std::string_view text, std::int32_t min, std::int32_t max) {
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

  // The significant digits, integer and fraction together, without leading zeros, and the power
  // of ten that scales them: value = digits * 10^scale.
  std::string digits;
  std::int64_t scale = 0;
  bool sawDigit = false;
  for (; i < end && IsDigit(text[i]); ++i) {
    sawDigit = true;
    if (!digits.empty() || text[i] != '0') {
      digits += text[i];
    }
  }
  if (i < end && text[i] == '.') {
    for (++i; i < end && IsDigit(text[i]); ++i) {
      sawDigit = true;
      --scale;
      if (!digits.empty() || text[i] != '0') {
        digits += text[i];
      }
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
    scale += exponentNegative ? -exponent : exponent;
  }
  if (i != end) {
    return notANumber;
  }
  if (digits.empty()) {
    return {NumberStatus::kNumber, 0};
  }

  const auto digitCount = static_cast<std::int64_t>(digits.size());
  const std::int64_t wholeDigitCount = digitCount + scale;
  if (wholeDigitCount > kMaxWholeDigits) {
    return {NumberStatus::kOverflow, 0};
  }
  std::int64_t whole = 0;
  std::string_view fraction;
  if (wholeDigitCount <= 0) {
    // Below one: only the first digit after the point can matter, and only right after it.
    fraction = wholeDigitCount == 0 ? std::string_view(digits) : std::string_view();
  } else {
    const auto kept = static_cast<std::size_t>(std::min(wholeDigitCount, digitCount));
    for (std::size_t d = 0; d < kept; ++d) {
      whole = whole * 10 + (digits[d] - '0');
    }
    for (std::int64_t z = digitCount; z < wholeDigitCount; ++z) {
      whole *= 10;
    }
    fraction = std::string_view(digits).substr(kept);
  }
  whole += RoundingStep(fraction, whole % 2 != 0);
  if (negative) {
    whole = -whole;
  }
  if (whole < min || whole > max) {
    return {NumberStatus::kOverflow, 0};
  }
  return {NumberStatus::kNumber, static_cast<std::int32_t>(whole)};
}

}  // namespace shiftlet
