// What the check and a quiet run warn about: where the new file will not show what the old file's
// owner meant, worked out once from the item table and the menu map.

#include "menu/menu_warnings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/menu_files.h"
#include "support/memory_file_layer.h"

namespace shiftlet {
namespace {

using testing::MemoryFileLayer;

struct Analysis {
  bool converts = false;
  std::int64_t items = 0;
  std::int64_t menus = 0;
  // "warning: line 2, item 1, field 1 (Text): ..." lines, the file left out, then the
  // conversion's "error: ..." if it fails.
  std::vector<std::string> findings;
};

// Converts `bytes` in memory as a run does, and warns about what it read and mapped.
Analysis Analyse(const std::string& bytes) {
  MemoryFileLayer files;
  files.files["m.qof"] = MemoryBytes(bytes);
  MenuTables tables;
  Analysis analysis;
  bool read = false;
  std::string error;
  try {
    ReadOldMenuFile(tables, files, "m.qof");
    read = true;
    WriteNewMenuFile(tables, files, "m.qnf");
    analysis.converts = true;
  } catch (const ConversionFailure& failure) {
    FailurePosition where = failure.Where();
    where.file.clear();
    error = std::string("error: ") + ConversionFailure(failure.Reason(), where).what();
  }
  analysis.items = read ? tables.lastIndex + 1 : tables.lastIndex;
  analysis.menus = CountMenus(tables, analysis.items);
  for (MenuWarning warning : MenuWarnings(tables, analysis.items, analysis.converts)) {
    warning.where.file.clear();
    const std::string where = warning.where.Described();
    analysis.findings.push_back("warning: " + (where.empty() ? "" : where + ": ") + warning.reason);
  }
  if (!error.empty()) {
    analysis.findings.push_back(error);
  }
  return analysis;
}

TEST(MenuWarningsTest, FindingsPerKind) {
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
        "hangs under this item",
        "warning: 3 items are not reached from the top menu: items 1, 2, 3"}},
      {"an item that opens the menu it is in, with six more there",
       "70\r\n\"A\",1,1,\"1\",0\r\n" +
           [] {
             std::string more;
             for (char text = 'B'; text <= 'G'; ++text) {
               more += std::string("\"") + text + "\",0,1,\"\",0\r\n";
             }
             return more;
           }(),
       true,
       7,
       1,
       {"warning: 7 items are not reached from the top menu: items 1, 2, 3, 4, 5 and 2 more"}},
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
    const Analysis analysis = Analyse(c.bytes);
    EXPECT_EQ(c.converts, analysis.converts);
    EXPECT_EQ(c.items, analysis.items);
    EXPECT_EQ(c.menus, analysis.menus);
    EXPECT_EQ(c.findings, analysis.findings);
  }
}

}  // namespace
}  // namespace shiftlet
