#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "menu/menu_item.h"
#include "textfile/conversion_failure.h"

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

// The five fields of an old item, in file order, as failures and the check name them.
inline constexpr std::size_t kOldItemFields = 5;
inline constexpr std::array<const char*, kOldItemFields> kOldItemFieldNames{
    "Text", "old kind", "MenuNo", "Value", "Extra"};
inline constexpr std::size_t kTextField = 0;
inline constexpr std::size_t kOldKindField = 1;
inline constexpr std::size_t kMenuNoField = 2;
inline constexpr std::size_t kValueField = 3;

// Where an item came from in the old file: what a failure found only while writing points at, and
// what the check reports that the item table no longer shows.
struct ItemOrigin {
  std::array<std::int64_t, kOldItemFields> lines{};  // the line each field began on
  std::array<bool, kOldItemFields> lineEndInQuotes{};
  std::int16_t oldKind = 0;  // before translation
};

// One run's menu data: filled once by ReadOldMenuFile, written once by WriteNewMenuFile.
struct MenuTables {
  ItemTable itemTable;
  // While reading, the next free slot; afterwards the last filled slot, -1 when there is none.
  std::int16_t lastIndex = 0;
  MenuMap menuMap;
  std::string sourcePath;  // the old file, as failures name it
  std::array<ItemOrigin, kMenuSlots> origins{};
};

// Where field `field` (from 0) of the item in slot `slot` stood in the old file.
FailurePosition OldFieldPosition(const MenuTables& tables, std::size_t slot, std::size_t field);

}  // namespace shiftlet
