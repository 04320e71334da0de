#pragma once

#include <cstdint>
#include <string>

#include "menu/item_table.h"
#include "textfile/conversion_failure.h"
#include "textfile/file_layer.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

// Reads an old menu file: a header field (ignored), then five fields per item (Text, old kind,
// MenuNo, Value, Extra), into tables.itemTable from slot 0, translating kinds. Afterwards
// tables.lastIndex is the last filled slot (-1 for no item). Throws ConversionFailure on any
// error: no file, no header, an incomplete item, a field that does not fit, a 302nd item.
void ReadOldMenuFile(MenuTables& tables, FileLayer& files, const std::string& path);

// Writes slots 0..lastIndex as a new menu file: "70", one element line per item, one node line per
// item, "x". Fills tables.menuMap on the way. Throws ConversionFailure on any error, and then
// nothing is left at the path that was not there before; a kind-2 Value that is not a menu number
// in 0..300 (found after that item's element line) or a MenuNo outside 0..300 (after the earlier
// node lines) names the item's field in the old file. A file that already holds exactly these
// lines is left as it is. `beforeFirstWrite` is asked before anything is created, and
// `beforeReplace` once the new file is complete, before it takes the path's place (see
// ReplacementFile). Once it returns, tables.menuMap says under which item each node line put each
// item.
struct NewMenuFile {
  bool written = false;    // false: it held exactly these lines already
  std::int64_t lines = 0;  // its lines, counted at CR LF as a reader counts them
};
NewMenuFile WriteNewMenuFile(MenuTables& tables, FileLayer& files, const std::string& path,
                             BeforeFirstWrite beforeFirstWrite = {},
                             BeforeReplace beforeReplace = {});

// The menu number an item of kind 2 opens, from its Value: a whole number (a fraction is rounded
// as numbers are everywhere) within 0..300. Throws ConversionFailure at `where` (not a number,
// outside 0..300) otherwise.
std::int32_t OpenedMenuNumber(const std::string& value, const FailurePosition& where = {});

}  // namespace shiftlet
