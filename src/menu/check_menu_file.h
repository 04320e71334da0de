#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "menu/item_table.h"
#include "textfile/conversion_failure.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// Something the check found: a warning (the file converts, but not as its owner may expect) or an
// error (the conversion fails, for this reason).
struct MenuFinding {
  enum class Severity { kWarning, kError };
  Severity severity = Severity::kWarning;
  FailurePosition where;
  std::string reason;
};

// A node line of the new file: the item at `position` hangs under the item at `opener` (-1: the
// top menu).
struct MenuNode {
  std::int16_t position = 0;
  std::int16_t opener = 0;
};

struct MenuFileCheck {
  bool converts = false;
  std::int64_t items = 0;  // items read, up to a failure while reading
  std::int64_t menus = 0;  // distinct menus holding those items
  // Warnings in item order, then the error that stops the conversion, if there is one.
  std::vector<MenuFinding> findings;
  // The node lines the conversion writes, in order; empty unless it converts.
  std::vector<MenuNode> nodes;
  // The items read, for their texts.
  std::unique_ptr<MenuTables> tables = std::make_unique<MenuTables>();
};

// Reads the old menu file at `path` as a conversion does and works out the new file's lines
// without writing anything anywhere. It converts exactly when a conversion would, and fails with
// the same reason. Throws only what is not a ConversionFailure (say, no memory).
MenuFileCheck CheckOldMenuFile(FileLayer& files, const std::string& path);

}  // namespace shiftlet
