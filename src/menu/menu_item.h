#pragma once

#include <cstdint>
#include <string>

namespace shiftlet {

// One menu item, in the new numbering of kinds.
struct MenuItem {
  std::string Text;         // written back unchanged
  std::string Value;        // for kind 2, the number of the menu the item opens
  std::int16_t Kind = 0;    // new numbering
  std::int16_t Extra = 0;   // the old item's fifth field, written back unchanged
  std::int16_t MenuNo = 0;  // the menu holding the item; 0 is the top menu
};

}  // namespace shiftlet
