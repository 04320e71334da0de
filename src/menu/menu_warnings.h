#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "menu/item_table.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

// Something in an old menu file that converts, but not as its owner may expect: where it is in
// the old file, and why.
struct MenuWarning {
  FailurePosition where;
  std::string reason;
};

// What the items in slots 0..items-1 of `tables` will look like in the new file, where that is not
// what the old file meant: texts with commas, line ends inside quotes, unknown kinds; and, when
// `mapped` (the new file's lines have been worked out, so tables.menuMap is filled and every menu
// number is good), menus opened twice or nobody, menu 0 opened, and items the top menu never
// reaches. In item order, the unreached items last. The check lists these; a quiet run counts
// them.
std::vector<MenuWarning> MenuWarnings(const MenuTables& tables, std::int64_t items, bool mapped);

// The number of distinct menus that the items in slots 0..items-1 belong to.
std::int64_t CountMenus(const MenuTables& tables, std::int64_t items);

}  // namespace shiftlet
