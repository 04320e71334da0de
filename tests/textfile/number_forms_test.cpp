#include "textfile/number_forms.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace shiftlet {
namespace {

constexpr std::int32_t kMin16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kMax16 = std::numeric_limits<std::int16_t>::max();

TEST(NumberFormsTest, PrintFormPadsWithSpaceOrSign) {
  EXPECT_EQ(" 0 ", PrintForm(0));
  EXPECT_EQ(" 12 ", PrintForm(12));
  EXPECT_EQ("-1 ", PrintForm(-1));
  EXPECT_EQ(" 32767 ", PrintForm(32767));
  EXPECT_EQ("-32768 ", PrintForm(-32768));
  EXPECT_EQ("-2147483648 ", PrintForm(std::numeric_limits<std::int32_t>::min()));
}

TEST(NumberFormsTest, PlainFormIsDigitsAndSignOnly) {
  EXPECT_EQ("0", PlainForm(0));
  EXPECT_EQ("12", PlainForm(12));
  EXPECT_EQ("-1", PlainForm(-1));
  EXPECT_EQ("-32768", PlainForm(-32768));
}

// The value read, or a marker for the two ways of not getting one.
constexpr std::int32_t kNotANumber = 1'000'001;
constexpr std::int32_t kOverflow = 1'000'002;

std::int32_t Read16(const char* text) {
  const NumberReading reading = ReadWholeNumber(text, kMin16, kMax16);
  switch (reading.status) {
    case NumberStatus::kNumber:
      return reading.value;
    case NumberStatus::kNotANumber:
      return kNotANumber;
    case NumberStatus::kOverflow:
      return kOverflow;
  }
  return kNotANumber;
}

TEST(NumberFormsTest, WholeNumbersWithSignAndBlanks) {
  EXPECT_EQ(0, Read16("0"));
  EXPECT_EQ(42, Read16("42"));
  EXPECT_EQ(42, Read16("+42"));
  EXPECT_EQ(-42, Read16("-42"));
  EXPECT_EQ(7, Read16("007"));
  EXPECT_EQ(7, Read16(" \t7 "));
  EXPECT_EQ(0, Read16("-0"));
  EXPECT_EQ(32767, Read16("32767"));
  EXPECT_EQ(-32768, Read16("-32768"));
  EXPECT_EQ(32767, Read16("0000000000000000000032767"));
}

TEST(NumberFormsTest, TextThatIsNotANumber) {
  for (const char* text : {"", " ", "-", "+", ".", "abc", "12abc", "1 2", "- 1", "1e", "1e+", "e5",
                           "&H10", "0x10", "#1#", "#TRUE#", "1,5", "1.2.3", "--1"}) {
    EXPECT_EQ(kNotANumber, Read16(text)) << '"' << text << '"';
  }
}

TEST(NumberFormsTest, FractionsRoundToNearestTiesToEven) {
  EXPECT_EQ(1, Read16("1.0"));
  EXPECT_EQ(2, Read16("2."));
  EXPECT_EQ(2, Read16("1.5"));
  EXPECT_EQ(2, Read16("2.5"));
  EXPECT_EQ(4, Read16("3.5"));
  EXPECT_EQ(3, Read16("2.5000001"));
  EXPECT_EQ(2, Read16("2.4999999"));
  EXPECT_EQ(0, Read16(".5"));
  EXPECT_EQ(1, Read16(".51"));
  EXPECT_EQ(0, Read16("0.05"));
  EXPECT_EQ(-2, Read16("-2.5"));
  EXPECT_EQ(-4, Read16("-3.5"));
  EXPECT_EQ(32766, Read16("32766.5"));
  EXPECT_EQ(32767, Read16("32766.6"));
  EXPECT_EQ(kOverflow, Read16("32767.5"));
  EXPECT_EQ(-32768, Read16("-32768.4"));
}

TEST(NumberFormsTest, ExponentsScaleBeforeRounding) {
  EXPECT_EQ(100, Read16("1e2"));
  EXPECT_EQ(100, Read16("1E+2"));
  EXPECT_EQ(1, Read16("10e-1"));
  EXPECT_EQ(0, Read16("5e-1"));
  EXPECT_EQ(2, Read16("15E-1"));
  EXPECT_EQ(12, Read16("0.12e2"));
  EXPECT_EQ(0, Read16("0e99999999999999999999"));
  EXPECT_EQ(0, Read16("1e-99999999999999999999"));
  EXPECT_EQ(kOverflow, Read16("1e99999999999999999999"));
}

TEST(NumberFormsTest, LongNumbersKeepEveryDigitThatMatters) {
  const std::string zeros(1000, '0');
  EXPECT_EQ(2, Read16(("2.5" + zeros).c_str()));
  EXPECT_EQ(3, Read16(("2.5" + zeros + "1").c_str()));
  EXPECT_EQ(0, Read16(("0.4" + std::string(1000, '9')).c_str()));
  EXPECT_EQ(1, Read16(("1" + std::string(30, '0') + "e-30").c_str()));
  EXPECT_EQ(7, Read16((zeros + "7").c_str()));
  EXPECT_EQ(kOverflow, Read16(std::string(1'000'000, '9').c_str()));
  EXPECT_EQ(kNotANumber, Read16((std::string(1'000'000, '9') + "x").c_str()));
}

TEST(NumberFormsTest, OverflowOutsideTheRangeAsked) {
  EXPECT_EQ(kOverflow, Read16("32768"));
  EXPECT_EQ(kOverflow, Read16("-32769"));
  EXPECT_EQ(kOverflow, Read16("99999999999999999999999999"));
  const auto wide = ReadWholeNumber("2147483647", std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(NumberStatus::kNumber, wide.status);
  EXPECT_EQ(2147483647, wide.value);
  EXPECT_EQ(NumberStatus::kOverflow,
            ReadWholeNumber("2147483648", std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::max())
                .status);
}

}  // namespace
}  // namespace shiftlet
