#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "menu/menu_test_support.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

using testing::MenuFiles;

// An old file of `count` items, each `A<i>`, kind 0, menu 0, no value, extra 0.
std::string ItemsFile(int count) {
  std::string bytes = "70\r\n";
  for (int i = 0; i < count; ++i) {
    bytes += "\"A" + std::to_string(i) + "\",0,0,\"\",0\r\n";
  }
  return bytes;
}

TEST(ReadOldMenuFileTest, FillsSlotsInOrderWithKindsTranslated) {
  MenuFiles menu;
  menu.Read(
      "70\r\n\"Open, file\",1,0,\"3\",5\r\nPlain text ,3,3,value,\r\n\"X\",7,-2,\"\",\"-9\"\r\n");
  ASSERT_EQ(2, menu.tables.lastIndex);
  const MenuItem& first = menu.tables.itemTable.At(0);
  EXPECT_EQ("Open, file", first.Text);
  EXPECT_EQ(2, first.Kind);
  EXPECT_EQ(0, first.MenuNo);
  EXPECT_EQ("3", first.Value);
  EXPECT_EQ(5, first.Extra);
  const MenuItem& second = menu.tables.itemTable.At(1);
  EXPECT_EQ("Plain text", second.Text);
  EXPECT_EQ(5, second.Kind);
  EXPECT_EQ(3, second.MenuNo);
  EXPECT_EQ("value", second.Value);
  EXPECT_EQ(0, second.Extra);  // empty bare field
  const MenuItem& third = menu.tables.itemTable.At(2);
  EXPECT_EQ(0, third.Kind);  // old kind 7 has no translation: the fresh slot's 0
  EXPECT_EQ(-2, third.MenuNo);
  EXPECT_EQ(-9, third.Extra);
}

TEST(ReadOldMenuFileTest, HeaderAloneOrFollowedByBlankLinesGivesNoItems) {
  for (const char* bytes :
       {"70", "70\r\n", "70\r\n\r\n\r\n", "70\n \t\n", "junk\r\n", "\r\n\r\n"}) {
    MenuFiles menu;
    menu.Read(bytes);
    EXPECT_EQ(-1, menu.tables.lastIndex) << bytes;
  }
}

// The failure reading `bytes` gives, with the temporary folder left out of the path.
std::string FailureReading(const std::string& bytes) {
  MenuFiles menu;
  try {
    menu.Read(bytes);
  } catch (const ConversionFailure& failure) {
    std::string what = failure.what();
    const std::string folder = menu.folder / "";
    if (what.compare(0, folder.size(), folder) == 0) {
      what.erase(0, folder.size());
    }
    return what;
  }
  return "no failure";
}

TEST(ReadOldMenuFileTest, FilesThatFailNameTheLineItemAndField) {
  const std::pair<const char*, const char*> failing[] = {
      {"", "menu.qof line 1, header: the file ends before this field"},
      {"99999\r\n", "menu.qof line 1, header: 99999 does not fit in 16 bits"},
      {"70\r\n\"A\",0,0,\"\"\r\n",
       "menu.qof line 3, item 1, field 5 (Extra): the file ends before this field"},
      {"70\r\n\"A\",0,0,\"\",0,\"B\"",
       "menu.qof line 2, item 2, field 2 (old kind): the file ends before this field"},
      {"70\r\n\"A\",40000,0,\"\",0",
       "menu.qof line 2, item 1, field 2 (old kind): 40000 does not fit in 16 bits"},
      {"70\n\"A\",0,0,\"\",0\n\"B\",0\n-40000,\"\",0",
       "menu.qof line 4, item 2, field 3 (MenuNo): -40000 does not fit in 16 bits"},
      {"70\r\n\"A\",0,0,\"\",40000",
       "menu.qof line 2, item 1, field 5 (Extra): 40000 does not fit in 16 bits"},
      {"70\r\n\"A\",0,0,\"\",abc",
       "menu.qof line 2, item 1, field 5 (Extra): \"abc\" is not a number"},
      {"70\r\"A\",0,0,\"\"\r\"\"",
       "menu.qof line 3, item 1, field 5 (Extra): \"\" is not a number"},
  };
  for (const auto& [bytes, expected] : failing) {
    EXPECT_EQ(expected, FailureReading(bytes)) << bytes;
  }
  MenuFiles missing;
  EXPECT_THROW(ReadOldMenuFile(missing.tables, *missing.files, missing.folder / "absent.qof"),
               ConversionFailure);
}

TEST(ReadOldMenuFileTest, HoldsAtMost301Items) {
  MenuFiles full;
  full.Read(ItemsFile(301));
  EXPECT_EQ(300, full.tables.lastIndex);
  EXPECT_EQ("A300", full.tables.itemTable.At(300).Text);

  EXPECT_EQ("menu.qof line 303, item 302: a menu file holds at most 301 items",
            FailureReading(ItemsFile(302)));
}

TEST(ReadOldMenuFileTest, NonNumericKindAndMenuReadAsZero) {
  MenuFiles menu;
  menu.Read("70\r\n\"A\",one,\"top\",\"\",\"7\"\r\n");
  EXPECT_EQ(0, menu.tables.itemTable.At(0).Kind);
  EXPECT_EQ(0, menu.tables.itemTable.At(0).MenuNo);
  EXPECT_EQ(7, menu.tables.itemTable.At(0).Extra);
}

}  // namespace
}  // namespace shiftlet
