#include "menu/item_table.h"

#include <string>

#include "textfile/conversion_failure.h"

namespace shiftlet {

std::size_t CheckedSlot(std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(kMenuSlots)) {
    throw ConversionFailure("subscript out of range: " + std::to_string(index));
  }
  return static_cast<std::size_t>(index);
}

FailurePosition OldFieldPosition(const MenuTables& tables, std::size_t slot, std::size_t field) {
  FailurePosition where;
  where.file = tables.sourcePath;
  where.line = tables.origins.at(slot).lines.at(field);
  where.item = static_cast<std::int64_t>(slot) + 1;
  where.field = static_cast<int>(field + 1);
  where.fieldName = kOldItemFieldNames.at(field);
  return where;
}

}  // namespace shiftlet
