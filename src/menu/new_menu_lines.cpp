#include "menu/new_menu_lines.h"

#include <string>

#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

void ProduceNewMenuLines(MenuTables& tables, NewMenuLines& lines) {
  tables.menuMap.At(0) = -1;
  // The bound is taken once; the element pass ends before the node pass starts, so an item may
  // belong to a menu whose opening item comes later in the table.
  const std::int16_t last = tables.lastIndex;
  for (std::int16_t position = 0; position <= last; ++position) {
    const MenuItem& item = tables.itemTable.At(position);
    lines.Element(position, item);
    if (item.Kind == 2) {
      // When several items open the same menu, the last one in the table wins.
      const auto slot = static_cast<std::size_t>(position);
      tables.menuMap.At(OpenedMenuNumber(item.Value, OldFieldPosition(tables, slot, kValueField))) =
          position;
    }
  }
  for (std::int16_t position = 0; position <= last; ++position) {
    const MenuItem& item = tables.itemTable.At(position);
    if (item.MenuNo < 0 || item.MenuNo >= static_cast<std::int16_t>(kMenuSlots)) {
      throw ConversionFailure(
          "menu " + std::to_string(item.MenuNo) + " is outside 0..300",
          OldFieldPosition(tables, static_cast<std::size_t>(position), kMenuNoField));
    }
    lines.Node(position, tables.menuMap.At(item.MenuNo));
  }
}

}  // namespace shiftlet
