#include <gtest/gtest.h>

#include <string>

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

TEST(ReadOldMenuFileTest, FilesThatFail) {
  const char* const failing[] = {
      "",                              // no header
      "99999\r\n",                     // header overflows
      "70\r\n\"A\",0,0,\"\"\r\n",      // four fields of five
      "70\r\n\"A\",0,0,\"\",0,\"B\"",  // a second item with one field
      "70\r\n\"A\",40000,0,\"\",0",    // old kind overflows
      "70\r\n\"A\",0,-40000,\"\",0",   // menu number overflows
      "70\r\n\"A\",0,0,\"\",40000",    // extra overflows
      "70\r\n\"A\",0,0,\"\",abc",      // extra is not a number
      "70\r\n\"A\",0,0,\"\",\"\"",     // extra is quoted empty text
  };
  for (const char* bytes : failing) {
    MenuFiles menu;
    EXPECT_THROW(menu.Read(bytes), ConversionFailure) << bytes;
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

  MenuFiles overfull;
  EXPECT_THROW(overfull.Read(ItemsFile(302)), ConversionFailure);
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
