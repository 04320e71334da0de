#include "menu/menu_warnings.h"

#include <algorithm>
#include <array>
#include <string>

#include "menu/menu_files.h"

namespace shiftlet {

namespace {

// Items listed by number in the warning about unreached items; the rest are counted.
constexpr std::size_t kListedUnreached = 5;

void Warn(std::vector<MenuWarning>& warnings, FailurePosition where, std::string reason) {
  warnings.push_back({std::move(where), std::move(reason)});
}

void WarnAboutItem(std::vector<MenuWarning>& warnings, const MenuTables& tables, std::size_t slot) {
  const MenuItem& item = tables.itemTable.At(static_cast<std::int64_t>(slot));
  const ItemOrigin& origin = tables.origins[slot];
  for (std::size_t field = 0; field < kOldItemFields; ++field) {
    if (origin.lineEndInQuotes[field]) {
      Warn(warnings, OldFieldPosition(tables, slot, field),
           "a line end inside quotes ends the field there");
    }
  }
  if (item.Text.find(',') != std::string::npos) {
    Warn(warnings, OldFieldPosition(tables, slot, kTextField),
         "holds a comma, so its line in the new file gets more than eight columns");
  }
  if (item.Value.find(',') != std::string::npos) {
    Warn(warnings, OldFieldPosition(tables, slot, kValueField),
         "holds a comma, so its line in the new file gets more than eight columns");
  }
  if (origin.oldKind < 0 || origin.oldKind > 4) {
    Warn(warnings, OldFieldPosition(tables, slot, kOldKindField),
         "old kind " + std::to_string(origin.oldKind) + " is not known; the item becomes kind 0");
  }
}

// What the menu map makes of the items (every menu number below is known to be good).
void WarnAboutMenus(std::vector<MenuWarning>& warnings, const MenuTables& tables,
                    std::size_t items) {
  std::array<std::int32_t, kMenuSlots> opens;  // by position: the menu an item opens, or -1
  std::array<std::int16_t, kMenuSlots> lastOpener;
  opens.fill(-1);
  lastOpener.fill(-1);
  for (std::size_t slot = 0; slot < items; ++slot) {
    const MenuItem& item = tables.itemTable.At(static_cast<std::int64_t>(slot));
    if (item.Kind == 2) {
      opens[slot] = OpenedMenuNumber(item.Value);
      lastOpener[static_cast<std::size_t>(opens[slot])] = static_cast<std::int16_t>(slot);
    }
  }
  for (std::size_t slot = 0; slot < items; ++slot) {
    if (opens[slot] >= 0) {
      const auto menu = static_cast<std::size_t>(opens[slot]);
      if (menu == 0) {
        Warn(warnings, OldFieldPosition(tables, slot, kValueField),
             "opens menu 0, so every item of the top menu hangs under this item");
      }
      if (lastOpener[menu] != static_cast<std::int16_t>(slot)) {
        Warn(warnings, OldFieldPosition(tables, slot, kValueField),
             "opens menu " + std::to_string(menu) + ", as item " +
                 std::to_string(lastOpener[menu] + 1) + " does later; the last one wins");
      }
    }
    const auto menu =
        static_cast<std::size_t>(tables.itemTable.At(static_cast<std::int64_t>(slot)).MenuNo);
    if (menu != 0 && lastOpener[menu] < 0) {
      Warn(warnings, OldFieldPosition(tables, slot, kMenuNoField),
           "no item of kind 2 opens menu " + std::to_string(menu) +
               ", so the item hangs under the first item");
    }
  }
}

// The items whose node lines never lead up to the top menu: each hangs under the item its menu's
// opener is, and a chain that comes back on itself never gets there.
void WarnAboutUnreached(std::vector<MenuWarning>& warnings, const MenuTables& tables,
                        std::size_t items) {
  enum class Reach : std::uint8_t { kUnknown, kVisiting, kTop, kNever };
  std::array<Reach, kMenuSlots> reach;
  reach.fill(Reach::kUnknown);
  std::vector<std::size_t> chain;
  for (std::size_t slot = 0; slot < items; ++slot) {
    // Up the chain until an item already known, the top, or an item on this very chain.
    std::size_t at = slot;
    Reach found = Reach::kTop;
    while (true) {
      if (reach[at] == Reach::kTop || reach[at] == Reach::kNever) {
        found = reach[at];
        break;
      }
      if (reach[at] == Reach::kVisiting) {
        found = Reach::kNever;
        break;
      }
      reach[at] = Reach::kVisiting;
      chain.push_back(at);
      const std::int16_t opener =
          tables.menuMap.At(tables.itemTable.At(static_cast<std::int64_t>(at)).MenuNo);
      if (opener < 0) {
        found = Reach::kTop;
        break;
      }
      at = static_cast<std::size_t>(opener);
    }
    for (const std::size_t visited : chain) {
      reach[visited] = found;
    }
    chain.clear();
  }
  std::vector<std::size_t> unreached;
  for (std::size_t slot = 0; slot < items; ++slot) {
    if (reach[slot] == Reach::kNever) {
      unreached.push_back(slot + 1);
    }
  }
  if (unreached.empty()) {
    return;
  }
  std::string listed;
  for (std::size_t i = 0; i < unreached.size() && i < kListedUnreached; ++i) {
    listed += (i == 0 ? "" : ", ") + std::to_string(unreached[i]);
  }
  if (unreached.size() > kListedUnreached) {
    listed += " and " + std::to_string(unreached.size() - kListedUnreached) + " more";
  }
  FailurePosition where;
  where.file = tables.sourcePath;
  Warn(warnings, std::move(where),
       std::to_string(unreached.size()) + (unreached.size() == 1 ? " item is" : " items are") +
           " not reached from the top menu: item" + (unreached.size() == 1 ? " " : "s ") + listed);
}

}  // namespace

std::vector<MenuWarning> MenuWarnings(const MenuTables& tables, std::int64_t items, bool mapped) {
  const auto count = static_cast<std::size_t>(std::clamp<std::int64_t>(items, 0, kMenuSlots));
  std::vector<MenuWarning> warnings;
  for (std::size_t slot = 0; slot < count; ++slot) {
    WarnAboutItem(warnings, tables, slot);
  }
  if (mapped) {
    WarnAboutMenus(warnings, tables, count);
  }
  std::stable_sort(
      warnings.begin(), warnings.end(),
      [](const MenuWarning& a, const MenuWarning& b) { return a.where.item < b.where.item; });
  if (mapped) {
    WarnAboutUnreached(warnings, tables, count);
  }
  return warnings;
}

std::int64_t CountMenus(const MenuTables& tables, std::int64_t items) {
  std::vector<bool> used(std::size_t{1} << 16);
  std::int64_t menus = 0;
  for (std::int64_t slot = 0; slot < items && slot < static_cast<std::int64_t>(kMenuSlots);
       ++slot) {
    const std::size_t index = static_cast<std::uint16_t>(tables.itemTable.At(slot).MenuNo);
    menus += used[index] ? 0 : 1;
    used[index] = true;
  }
  return menus;
}

}  // namespace shiftlet
