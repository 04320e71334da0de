#include "menu/check_menu_file.h"

#include <algorithm>
#include <array>
#include <string>

#include "menu/menu_files.h"
#include "menu/new_menu_lines.h"

namespace shiftlet {

namespace {

class CollectedNodes final : public NewMenuLines {
 public:
  explicit CollectedNodes(std::vector<MenuNode>& nodes) : nodes_(nodes) {}
  void Element(std::int16_t, const MenuItem&) override {}
  void Node(std::int16_t position, std::int16_t opener) override {
    nodes_.push_back({position, opener});
  }

 private:
  std::vector<MenuNode>& nodes_;
};

void Warn(MenuFileCheck& check, FailurePosition where, std::string reason) {
  check.findings.push_back({MenuFinding::Severity::kWarning, std::move(where), std::move(reason)});
}

// What the item table shows about one item that the new file will not show as the owner meant.
void WarnAboutItem(MenuFileCheck& check, std::size_t slot) {
  const MenuTables& tables = *check.tables;
  const MenuItem& item = tables.itemTable.At(static_cast<std::int64_t>(slot));
  const ItemOrigin& origin = tables.origins[slot];
  for (std::size_t field = 0; field < kOldItemFields; ++field) {
    if (origin.lineEndInQuotes[field]) {
      Warn(check, OldFieldPosition(tables, slot, field),
           "a line end inside quotes ends the field there");
    }
  }
  if (item.Text.find(',') != std::string::npos) {
    Warn(check, OldFieldPosition(tables, slot, kTextField),
         "holds a comma, so its line in the new file gets more than eight columns");
  }
  if (item.Value.find(',') != std::string::npos) {
    Warn(check, OldFieldPosition(tables, slot, kValueField),
         "holds a comma, so its line in the new file gets more than eight columns");
  }
  if (origin.oldKind < 0 || origin.oldKind > 4) {
    Warn(check, OldFieldPosition(tables, slot, kOldKindField),
         "old kind " + std::to_string(origin.oldKind) + " is not known; the item becomes kind 0");
  }
}

// What the menu map makes of the items, once every line has been worked out (so every menu
// number below is known to be good).
void WarnAboutMenus(MenuFileCheck& check) {
  const MenuTables& tables = *check.tables;
  const auto items = static_cast<std::size_t>(tables.lastIndex + 1);
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
        Warn(check, OldFieldPosition(tables, slot, kValueField),
             "opens menu 0, so every item of the top menu hangs under this item");
      }
      if (lastOpener[menu] != static_cast<std::int16_t>(slot)) {
        Warn(check, OldFieldPosition(tables, slot, kValueField),
             "opens menu " + std::to_string(menu) + ", as item " +
                 std::to_string(lastOpener[menu] + 1) + " does later; the last one wins");
      }
    }
    const auto menu =
        static_cast<std::size_t>(tables.itemTable.At(static_cast<std::int64_t>(slot)).MenuNo);
    if (menu != 0 && lastOpener[menu] < 0) {
      Warn(check, OldFieldPosition(tables, slot, kMenuNoField),
           "no item of kind 2 opens menu " + std::to_string(menu) +
               ", so the item hangs under the first item");
    }
  }
}

void CountMenus(MenuFileCheck& check, std::size_t items) {
  std::vector<bool> used(std::size_t{1} << 16);
  for (std::size_t slot = 0; slot < items; ++slot) {
    const std::int16_t menu = check.tables->itemTable.At(static_cast<std::int64_t>(slot)).MenuNo;
    const std::size_t index = static_cast<std::uint16_t>(menu);
    check.menus += used[index] ? 0 : 1;
    used[index] = true;
  }
}

}  // namespace

MenuFileCheck CheckOldMenuFile(FileLayer& files, const std::string& path) {
  MenuFileCheck check;
  MenuTables& tables = *check.tables;
  bool read = false;
  try {
    ReadOldMenuFile(tables, files, path);
    read = true;
    CollectedNodes nodes(check.nodes);
    ProduceNewMenuLines(tables, nodes);
    check.converts = true;
  } catch (const ConversionFailure& failure) {
    check.findings.push_back({MenuFinding::Severity::kError, failure.Where(), failure.Reason()});
    check.nodes.clear();
  }
  // After a failure while reading, lastIndex is the next free slot: the items before it are whole.
  const std::size_t items =
      static_cast<std::size_t>(read ? tables.lastIndex + 1 : tables.lastIndex);
  check.items = static_cast<std::int64_t>(items);
  CountMenus(check, items);

  std::vector<MenuFinding> error = std::move(check.findings);
  check.findings.clear();
  for (std::size_t slot = 0; slot < items; ++slot) {
    WarnAboutItem(check, slot);
  }
  if (check.converts) {
    WarnAboutMenus(check);
  }
  std::stable_sort(
      check.findings.begin(), check.findings.end(),
      [](const MenuFinding& a, const MenuFinding& b) { return a.where.item < b.where.item; });
  for (MenuFinding& finding : error) {
    check.findings.push_back(std::move(finding));
  }
  return check;
}

}  // namespace shiftlet
