#pragma once

#include <memory>
#include <string>

#include "menu/item_table.h"
#include "menu/menu_files.h"
#include "platform/system_file_layer.h"
#include "support/temp_folder.h"

namespace shiftlet::testing {

// Runs the two menu file operations on real files in a temporary folder.
class MenuFiles {
 public:
  // Reads an old menu file holding `bytes` into tables.
  void Read(const std::string& bytes) {
    WriteBytes(folder / "menu.qof", bytes);
    ReadOldMenuFile(tables, *files, folder / "menu.qof");
  }
  // Writes the tables as a new menu file and returns its bytes.
  std::string Write() {
    WriteNewMenuFile(tables, *files, folder / "menu.qnf");
    return ReadBytes(folder / "menu.qnf");
  }
  std::string Convert(const std::string& oldBytes) {
    Read(oldBytes);
    return Write();
  }

  TempFolder folder;
  std::unique_ptr<FileLayer> files = MakeSystemFileLayer();
  MenuTables tables;
};

}  // namespace shiftlet::testing
