#include "menu/kind_translation.h"

#include <gtest/gtest.h>

namespace shiftlet {
namespace {

TEST(KindTranslationTest, OldKindsMapToNewOnesAndOthersHaveNone) {
  EXPECT_EQ(0, TranslateKind(0));
  EXPECT_EQ(2, TranslateKind(1));
  EXPECT_EQ(3, TranslateKind(2));
  EXPECT_EQ(5, TranslateKind(3));
  EXPECT_EQ(4, TranslateKind(4));
  for (const int other : {-32768, -1, 5, 7, 32767}) {
    EXPECT_FALSE(TranslateKind(static_cast<std::int16_t>(other)).has_value()) << other;
  }
}

}  // namespace
}  // namespace shiftlet
