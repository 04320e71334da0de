#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace shiftlet {

// Print form of an integer, as a write statement puts it: a space for zero or positive values or a
// minus sign for negative ones, the digits, then one space. 0 -> " 0 ", 12 -> " 12 ", -1 -> "-1 ".
std::string PrintForm(std::int32_t value);

// Plain form of an integer: an optional minus sign and the digits, nothing else. -1 -> "-1".
std::string PlainForm(std::int32_t value);

enum class NumberStatus { kNumber, kNotANumber, kOverflow };

struct NumberReading {
  NumberStatus status;
  std::int32_t value;  // meaningful only when status is kNumber
};

// Reads `text` as a decimal number and rounds it to a whole number within [min, max].
//
// A number is: optional spaces or tabs, an optional sign, decimal digits with an optional
// fraction (".5", "2.", "2.50"), an optional exponent ("1e2", "5E-1"), optional spaces or tabs,
// and nothing else. A fraction is rounded to the nearest whole number, ties to the even one, as
// the old program's own integer conversion did: "2.5" -> 2, "3.5" -> 4, "1.0" -> 1.
// Hexadecimal or octal prefixes ("&H10") and number-sign literals ("#1#") are not numbers.
// A number whose rounded value lies outside [min, max] gives kOverflow; so does one too long to
// hold at all.
NumberReading ReadWholeNumber(std::string_view text, std::int32_t min, std::int32_t max);

}  // namespace shiftlet
