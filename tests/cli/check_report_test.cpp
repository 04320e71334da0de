// The check's report: the menus drawn from the node lines, so a misplaced item shows at a glance,
// and a summary short enough for a message box.

#include "cli/check_report.h"

#include <gtest/gtest.h>

#include <string>

#include "support/memory_file_layer.h"

namespace shiftlet {
namespace {

MenuFileCheck Check(const std::string& bytes) {
  testing::MemoryFileLayer files;
  files.files["m.qof"] = bytes;
  return CheckOldMenuFile(files, "m.qof");
}

TEST(CheckReportTest, TreeHangsEachItemUnderItsOpenerAndListsCirclesApart) {
  // File opens menu 1 (Open, and Lost whose menu 5 nobody opens, so it hangs under the first
  // item); Loop opens menu 2 and sits in it, so it is never reached from the top.
  const MenuFileCheck check = Check(
      "70\r\n\"File\",1,0,\"1\",0\r\n\"Open\",0,1,\"o\",0\r\n\"Top\",0,0,\"t\",0\r\n"
      "\"Lost\",0,5,\"l\",0\r\n\"Loop\",1,2,\"2\",0\r\n");
  EXPECT_EQ(
      "m.qof: 5 items in 4 menus\n"
      "warning: m.qof line 5, item 4, field 3 (MenuNo): no item of kind 2 opens menu 5, so the "
      "item hangs under the first item\n"
      "m.qof converts, with 1 warning.\n"
      "Menus as Velmora 1.1 will show them:\n"
      "  item 1: File\n"
      "    item 2: Open\n"
      "    item 4: Lost\n"
      "  item 3: Top\n"
      "Not reached from the top menu:\n"
      "  item 5: Loop (under item 5)\n",
      CheckReport(check, "m.qof"));
}

TEST(CheckReportTest, SummaryShowsTheVerdictCountsFirstFindingsAndTheWholeReportCommand) {
  std::string bytes = "70\r\n";
  for (int i = 0; i < 7; ++i) {
    bytes += "\"A,\",0,0,\"\",0\r\n";
  }
  bytes += "\"B\",0,0,\"\",x\r\n";
  const std::string summary = CheckSummary(Check(bytes), "m.qof", 2, "shiftlet-cli --check");
  EXPECT_EQ(
      "m.qof does not convert.\n"
      "7 items in 1 menu.\n"
      "\n"
      "warning: m.qof line 2, item 1, field 1 (Text): holds a comma, so its line in the new file "
      "gets more than eight columns\n"
      "warning: m.qof line 3, item 2, field 1 (Text): holds a comma, so its line in the new file "
      "gets more than eight columns\n"
      "... and 6 more.\n"
      "\n"
      "For the whole report and the menus as Velmora 1.1 will show them, run:\n"
      "shiftlet-cli --check",
      summary);
}

}  // namespace
}  // namespace shiftlet
