// The check reads and maps an old file with the conversion's own code: it passes what converts,
// fails what does not for the same reason, and warns where the new file will not show what its
// owner meant.

#include "menu/check_menu_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/menu_files.h"
#include "support/memory_file_layer.h"

namespace shiftlet {
namespace {

using testing::MemoryFileLayer;

// The findings as "warning: line 2, item 1, field 1 (Text): ..." lines, the file left out.
std::vector<std::string> FindingsOf(const MenuFileCheck& check) {
  std::vector<std::string> lines;
  for (MenuFinding finding : check.findings) {
    finding.where.file.clear();
    lines.push_back(
        std::string(finding.severity == MenuFinding::Severity::kError ? "error: " : "warning: ") +
        finding.where.Described() + ": " + finding.reason);
  }
  return lines;
}

MenuFileCheck Check(const std::string& bytes) {
  MemoryFileLayer files;
  files.files["m.qof"] = bytes;
  MenuFileCheck check = CheckOldMenuFile(files, "m.qof");
  EXPECT_EQ(1u, files.files.size()) << "the check wrote a file";
  return check;
}

TEST(CheckMenuFileTest, FindingsPerKind) {
  const struct {
    const char* what;
    std::string bytes;
    bool converts;
    std::int64_t items;
    std::int64_t menus;
    std::vector<std::string> findings;
  } cases[] = {
      {"a clean file", "70\r\n\"A\",1,0,\"1\",0\r\n\"B\",0,1,\"b\",0\r\n", true, 2, 2, {}},
      {"commas in Text and Value",
       "70\r\n\"A, B\",0,0,\"x,y\",0\r\n",
       true,
       1,
       1,
       {"warning: line 2, item 1, field 1 (Text): holds a comma, so its line in the new file gets "
        "more than eight columns",
        "warning: line 2, item 1, field 4 (Value): holds a comma, so its line in the new file gets "
        "more than eight columns"}},
      {"an item in a menu nobody opens, an unknown kind",
       "70\r\n\"A\",0,0,\"\",0\r\n\"B\",9,4,\"\",0\r\n",
       true,
       2,
       2,
       {"warning: line 3, item 2, field 2 (old kind): old kind 9 is not known; the item becomes "
        "kind 0",
        "warning: line 3, item 2, field 3 (MenuNo): no item of kind 2 opens menu 4, so the item "
        "hangs under the first item"}},
      {"two openers of one menu, one of menu 0",
       "70\r\n\"A\",1,0,\"2\",0\r\n\"B\",1,0,\"2\",0\r\n\"C\",1,2,\"0\",0\r\n",
       true,
       3,
       2,
       {"warning: line 2, item 1, field 4 (Value): opens menu 2, as item 2 does later; the last "
        "one "
        "wins",
        "warning: line 4, item 3, field 4 (Value): opens menu 0, so every item of the top menu "
        "hangs under this item"}},
      {"a line end inside quotes",
       "70\r\n\"A\r\n0,0,\"\",0\r\n",
       true,
       1,
       1,
       {"warning: line 2, item 1, field 1 (Text): a line end inside quotes ends the field there"}},
      {"a failure while reading keeps the warnings of the items before it",
       "70\r\n\"A,\",0,0,\"\",0\r\n\"B\",70000,0,\"\",0\r\n",
       false,
       1,
       1,
       {"warning: line 2, item 1, field 1 (Text): holds a comma, so its line in the new file gets "
        "more than eight columns",
        "error: line 3, item 2, field 2 (old kind): 70000 does not fit in 16 bits"}},
      {"a failure only writing would meet",
       "70\r\n\"A\",0,7,\"\",0\r\n\"B\",1,0,\"ab\",0\r\n",
       false,
       2,
       2,
       {"error: line 3, item 2, field 4 (Value): menu number \"ab\" is not a number"}},
      {"a menu past the table",
       "70\r\n\"A\",0,301,\"\",0\r\n",
       false,
       1,
       1,
       {"error: line 2, item 1, field 3 (MenuNo): menu 301 is outside 0..300"}},
      {"no header", "", false, 0, 0, {"error: line 1, header: the file ends before this field"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const MenuFileCheck check = Check(c.bytes);
    EXPECT_EQ(c.converts, check.converts);
    EXPECT_EQ(c.items, check.items);
    EXPECT_EQ(c.menus, check.menus);
    EXPECT_EQ(c.findings, FindingsOf(check));
  }
}

TEST(CheckMenuFileTest, NodesAreTheConversionsNodeLinesAndTheReasonItsFailure) {
  MemoryFileLayer files;
  files.files["m.qof"] = "70\r\n\"A\",1,0,\"1\",0\r\n\"B\",3,1,\"b\",2\r\n\"C\",0,3,\"\",0\r\n";
  const MenuFileCheck check = CheckOldMenuFile(files, "m.qof");
  ASSERT_EQ(3u, check.nodes.size());
  std::string nodes;
  for (const MenuNode& node : check.nodes) {
    nodes += std::to_string(node.position) + ">" + std::to_string(node.opener) + " ";
  }
  EXPECT_EQ("0>-1 1>0 2>0 ", nodes);  // C's menu 3 has no opener: the entry's starting 0

  MenuTables tables;
  ReadOldMenuFile(tables, files, "m.qof");
  WriteNewMenuFile(tables, files, "m.qnf");
  EXPECT_NE(std::string::npos, files.files["m.qnf"].find("n, 2 , 0 , 2 \r\n"));
}

}  // namespace
}  // namespace shiftlet
