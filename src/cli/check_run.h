#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/unattended_failure.h"
#include "driver/platform.h"
#include "menu/item_table.h"
#include "menu/menu_warnings.h"

namespace shiftlet {

// A node line of the new file: the item at `position` hangs under the item at `opener` (-1: the
// top menu).
struct MenuNode {
  std::int16_t position = 0;
  std::int16_t opener = 0;
};

// What a conversion of the old file would do, found by running it with its writes kept in memory.
struct DryRunCheck {
  int status = 0;  // the run's exit status: 0 it would convert (or find nothing to do), 1
                   // it would fail, 3 it could not start
  UnattendedOutcome outcome;  // what a quiet run would say
  std::string source;         // the old file, as the run took it
  std::string failure;        // why the run would fail, exactly as a quiet run says it
  std::int64_t items = 0;     // items read, up to a failure while reading
  std::int64_t menus = 0;     // distinct menus holding those items
  std::vector<MenuWarning> warnings;
  std::unique_ptr<MenuTables> tables = std::make_unique<MenuTables>();  // the items, for texts
  // The new menu file the run would write (empty when it failed before picking one), its number
  // of lines and its node lines as written (empty unless it would convert).
  std::string destination;
  std::int64_t destinationLines = 0;
  std::vector<MenuNode> nodes;
  bool destinationWritten = false;  // false: it holds these lines already
  // default.qcf beside the new file: whether there is one, and its first line before and after.
  std::string configurationPath;
  bool configurationFound = false;
  std::string configurationBefore;
  std::string configurationAfter;
  bool configurationWritten = false;  // false: it holds its three lines already
  std::string configurationBackup;    // where it would be kept first; empty when it would not

  bool Converts() const { return status == 0; }
};

// Runs the unattended conversion of `source` to `destination` (each picker's proposal where not
// given) over `system`'s files, with every write kept in memory: the disk is left as it was, and
// the outcome is the one a quiet run with the same paths would have, for the same reason.
DryRunCheck CheckByDryRun(Platform& system, const std::optional<std::string>& source,
                          const std::optional<std::string>& destination, bool replace);

}  // namespace shiftlet
