#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "menu/menu_item.h"

namespace shiftlet {

// Slots 0 to 300: a menu file holds at most 301 items, and the menu numbers that items open lie
// in the same range.
inline constexpr std::size_t kMenuSlots = 301;

// Throws ConversionFailure (subscript out of range) unless 0 <= index < kMenuSlots.
std::size_t CheckedSlot(std::int64_t index);

// The items of one menu file, in file order, starting empty (empty texts, zeros).
class ItemTable {
 public:
  MenuItem& At(std::int64_t index) { return slots_[CheckedSlot(index)]; }
  const MenuItem& At(std::int64_t index) const { return slots_[CheckedSlot(index)]; }

 private:
  std::array<MenuItem, kMenuSlots> slots_{};
};

// For each menu number, the position of the item that opens it. Entries start at 0; the writer
// sets entry 0 to -1 before it starts.
class MenuMap {
 public:
  std::int16_t& At(std::int64_t menuNumber) { return entries_[CheckedSlot(menuNumber)]; }
  std::int16_t At(std::int64_t menuNumber) const { return entries_[CheckedSlot(menuNumber)]; }

 private:
  std::array<std::int16_t, kMenuSlots> entries_{};
};

// One run's menu data: filled once by ReadOldMenuFile, written once by WriteNewMenuFile.
struct MenuTables {
  ItemTable itemTable;
  // While reading, the next free slot; afterwards the last filled slot, -1 when there is none.
  std::int16_t lastIndex = 0;
  MenuMap menuMap;
};

}  // namespace shiftlet
