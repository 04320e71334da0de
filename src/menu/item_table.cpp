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

}  // namespace shiftlet
