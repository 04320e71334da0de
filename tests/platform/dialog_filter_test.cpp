#include "platform/dialog_filter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace shiftlet {
namespace {

using namespace std::string_literals;  // "..."s keeps embedded NULs

TEST(WindowsFilterTest, PairsBecomeNulEndedPartsWithOneMoreNulAtTheEnd) {
  EXPECT_EQ("QOF file\0*.qof\0\0"s, WindowsFilterOf("QOF file|*.qof"));
  EXPECT_EQ("QNF file\0*.qnf\0\0"s, WindowsFilterOf("QNF file|*.qnf"));
  EXPECT_EQ("Menus\0*.qof;*.qnf\0All files\0*.*\0\0"s,
            WindowsFilterOf("Menus|*.qof;*.qnf|All files|*.*"));
  // Empty parts keep their place, so later pairs stay paired.
  EXPECT_EQ("\0*.qof\0\0"s, WindowsFilterOf("|*.qof"));
}

TEST(WindowsFilterTest, NoFilterIsAnEmptyList) {
  EXPECT_EQ(""s, WindowsFilterOf(""));
}

TEST(WindowsFilterTest, DescriptionWithoutPatternOrEmbeddedNulIsRefused) {
  EXPECT_THROW(WindowsFilterOf("QOF file"), std::invalid_argument);
  EXPECT_THROW(WindowsFilterOf("QOF file|*.qof|All files"), std::invalid_argument);
  EXPECT_THROW(WindowsFilterOf("QOF\0file|*.qof"s), std::invalid_argument);
}

}  // namespace
}  // namespace shiftlet
