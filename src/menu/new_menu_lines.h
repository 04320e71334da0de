#pragma once

#include <cstdint>

#include "menu/item_table.h"

namespace shiftlet {

// Receives the lines of a new menu file between "70" and "x", in the order the file holds them.
class NewMenuLines {
 public:
  virtual ~NewMenuLines() = default;
  // The element line of the item at `position`.
  virtual void Element(std::int16_t position, const MenuItem& item) = 0;
  // The node line of the item at `position`: `opener` is the position of the item that opens its
  // menu, -1 for the top menu.
  virtual void Node(std::int16_t position, std::int16_t opener) = 0;
};

// Works out the lines of slots 0..tables.lastIndex and hands them to `lines` in file order: every
// element line, then every node line. Fills tables.menuMap on the way. The conversion writes the
// lines and the check only looks at them, so both fail alike: ConversionFailure, naming the item's
// field in the old file, for a kind-2 Value that is not a menu number in 0..300 (after that item's
// element line) or a MenuNo outside 0..300 (after the earlier node lines).
void ProduceNewMenuLines(MenuTables& tables, NewMenuLines& lines);

}  // namespace shiftlet
