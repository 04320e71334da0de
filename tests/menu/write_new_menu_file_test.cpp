#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "menu/menu_test_support.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

using testing::ListFolder;
using testing::MenuFiles;
using testing::ReadBytes;
using testing::WriteBytes;

TEST(WriteNewMenuFileTest, WorkedExampleByteForByte) {
  MenuFiles menu;
  EXPECT_EQ(
      "70\r\n"
      "e,0,A,2,1,,,0\r\n"
      "e,1,B,5,b,,,2\r\n"
      "e,2,C,0,,,,0\r\n"
      "n, 0 ,-1 , 0 \r\n"
      "n, 1 , 0 , 1 \r\n"
      "n, 2 ,-1 , 2 \r\n"
      "x\r\n",
      menu.Convert("70\r\n\"A\",1,0,\"1\",0\r\n\"B\",3,1,\"b\",2\r\n\"C\",0,0,\"\",0\r\n"));
  EXPECT_EQ(-1, menu.tables.menuMap.At(0));
  EXPECT_EQ(0, menu.tables.menuMap.At(1));
}

TEST(WriteNewMenuFileTest, HeaderOnlyGivesTwoLines) {
  MenuFiles menu;
  EXPECT_EQ("70\r\nx\r\n", menu.Convert("70\r\n"));
}

TEST(WriteNewMenuFileTest, TextAndValueAreWrittenUnquotedAndUnchanged) {
  MenuFiles menu;
  const std::string bytes =
      menu.Convert("1\r\n\"Save, as\",2,0,\"a,b\",-3\r\n\"\xe9t\xe9\",4,0,,0");
  EXPECT_EQ(
      "70\r\n"
      "e,0,Save, as,3,a,b,,,-3\r\n"  // the commas make more than eight columns
      "e,1,\xe9t\xe9,4,,,,0\r\n"
      "n, 0 ,-1 , 0 \r\n"
      "n, 1 ,-1 , 1 \r\n"
      "x\r\n",
      bytes);
}

TEST(WriteNewMenuFileTest, NodeLinesPointAtTheItemThatOpensTheirMenu) {
  MenuFiles menu;
  // Item 0 is in menu 4, opened later by item 3; menu 2 is opened twice (items 1 and 2), and the
  // last opener wins; item 4 is in menu 9, which nothing opens.
  const std::string bytes = menu.Convert(
      "70\r\n"
      "\"a\",0,4,\"\",0\r\n"
      "\"b\",1,0,\"2\",0\r\n"
      "\"c\",1,0,\"2\",0\r\n"
      "\"d\",1,2,\"4\",0\r\n"
      "\"e\",0,9,\"\",0\r\n"
      "\"f\",0,0,\"\",0\r\n");
  EXPECT_NE(std::string::npos, bytes.find("n, 0 , 3 , 0 \r\n")) << bytes;
  EXPECT_NE(std::string::npos, bytes.find("n, 1 ,-1 , 1 \r\n")) << bytes;
  EXPECT_NE(std::string::npos, bytes.find("n, 3 , 2 , 3 \r\n")) << bytes;
  EXPECT_NE(std::string::npos, bytes.find("n, 4 , 0 , 4 \r\n")) << bytes;
  EXPECT_NE(std::string::npos, bytes.find("n, 5 ,-1 , 5 \r\n")) << bytes;
}

TEST(WriteNewMenuFileTest, AnItemOpeningMenuZeroReplacesTheTopMarker) {
  MenuFiles menu;
  const std::string bytes = menu.Convert("70\r\n\"top\",0,0,\"\",0\r\n\"loop\",1,0,\"0\",0\r\n");
  EXPECT_EQ(
      "70\r\ne,0,top,0,,,,0\r\ne,1,loop,2,0,,,0\r\n"
      "n, 0 , 1 , 0 \r\nn, 1 , 1 , 1 \r\nx\r\n",
      bytes);
}

TEST(WriteNewMenuFileTest, MenuNumbersWithFractionsRound) {
  MenuFiles menu;
  const std::string bytes = menu.Convert(
      "70\r\n\"a\",1,0,\"1.4\",0\r\n\"b\",1,0,\" 2.5 \",0\r\n\"c\",0,1,\"\",0\r\n\"d\",0,2,\"\",0");
  EXPECT_NE(std::string::npos, bytes.find("n, 2 , 0 , 2 \r\n")) << bytes;
  EXPECT_NE(std::string::npos, bytes.find("n, 3 , 1 , 3 \r\n")) << bytes;
}

TEST(WriteNewMenuFileTest, ConvertsAFullTable) {
  std::string old = "70\r\n";
  for (int i = 0; i < 301; ++i) {
    old += "\"I" + std::to_string(i) + "\",1,0,\"" + std::to_string(i) + "\"," + std::to_string(i) +
           "\r\n";
  }
  MenuFiles menu;
  const std::string bytes = menu.Convert(old);
  EXPECT_EQ(0U, bytes.find("70\r\ne,0,I0,2,0,,,0\r\n"));
  EXPECT_NE(std::string::npos, bytes.find("\r\ne,300,I300,2,300,,,300\r\n"));
  // Every item is in menu 0, and item 0 opens menu 0.
  EXPECT_NE(std::string::npos, bytes.find("\r\nn, 300 , 0 , 300 \r\nx\r\n"));
  EXPECT_EQ(2U * 301U + 2U, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
}

TEST(WriteNewMenuFileTest, BadMenuNumbersFailAtTheirFieldAndLeaveTheDestinationAsItWas) {
  // The failure names the field of the old file that holds the bad number.
  const std::pair<const char*, const char*> failing[] = {
      {"70\r\n\"a\",1,0,\"301\",0\r\n",  // opens a menu past the table
       "line 2, item 1, field 4 (Value): menu number 301 is outside 0..300"},
      {"70\r\n\"a\",1,0,\"-1\",0\r\n",  // opens a negative menu
       "line 2, item 1, field 4 (Value): menu number -1 is outside 0..300"},
      {"70\r\n\"a\",1,0\r\n\"ab\",0\r\n",  // opens no number at all
       "line 3, item 1, field 4 (Value): menu number \"ab\" is not a number"},
      {"70\r\n\"a\",1,0,\"\",0\r\n",  // an empty value is not a number
       "line 2, item 1, field 4 (Value): menu number \"\" is not a number"},
      {"70\r\n\"a\",1,0,\"99999999999\",0\r\n",  // beyond 32 bits
       "line 2, item 1, field 4 (Value): menu number 99999999999 is outside 0..300"},
      {"70\r\n\"a\",0,0,\"\",0\r\n\"b\",0,400,\"\",0\r\n",  // in a menu past the table
       "line 3, item 2, field 3 (MenuNo): menu 400 is outside 0..300"},
      {"70\r\n\"a\",0,-1,\"\",0\r\n",  // in a negative menu
       "line 2, item 1, field 3 (MenuNo): menu -1 is outside 0..300"},
  };
  for (const auto& [old, expected] : failing) {
    for (const bool destinationExists : {false, true}) {
      MenuFiles menu;
      menu.Read(old);
      const std::string destination = menu.folder / "menu.qnf";
      if (destinationExists) {
        WriteBytes(destination, "previous conversion\r\n");
      }
      try {
        WriteNewMenuFile(menu.tables, *menu.files, destination);
        ADD_FAILURE() << "no failure: " << old;
      } catch (const ConversionFailure& failure) {
        EXPECT_EQ(menu.folder / "menu.qof " + expected, failure.what()) << old;
      }
      if (destinationExists) {
        EXPECT_EQ("previous conversion\r\n", ReadBytes(destination)) << old;
      }
      EXPECT_EQ(destinationExists ? "menu.qnf menu.qof" : "menu.qof",
                ListFolder(menu.folder.Path()))
          << old;
    }
  }
}

TEST(WriteNewMenuFileTest, OldFileCanBeItsOwnDestination) {
  MenuFiles menu;
  menu.Read("70\r\n\"A\",1,0,\"1\",0\r\n");
  WriteNewMenuFile(menu.tables, *menu.files, menu.folder / "menu.qof");
  EXPECT_EQ("70\r\ne,0,A,2,1,,,0\r\nn, 0 ,-1 , 0 \r\nx\r\n", ReadBytes(menu.folder / "menu.qof"));
}

TEST(WriteNewMenuFileTest, DestinationThatCannotBeCreatedFails) {
  MenuFiles menu;
  menu.Read("70\r\n");
  EXPECT_THROW(WriteNewMenuFile(menu.tables, *menu.files, menu.folder / "missing/menu.qnf"),
               ConversionFailure);
}

}  // namespace
}  // namespace shiftlet
