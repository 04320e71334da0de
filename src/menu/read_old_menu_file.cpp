#include <cstdint>

#include "menu/kind_translation.h"
#include "menu/menu_files.h"
#include "textfile/field_reader.h"

namespace shiftlet {

void ReadOldMenuFile(MenuTables& tables, FileLayer& files, const std::string& path) {
  tables.lastIndex = 0;
  FieldReader reader(files, path);
  std::int16_t header = 0;
  reader.ReadFields({&header});

  std::string text;
  std::int16_t oldKind = 0;
  std::int16_t menuNo = 0;
  std::string value;
  LooseValue extra;
  while (!reader.AtEnd()) {
    reader.ReadFields({&text, &oldKind, &menuNo, &value, &extra});
    MenuItem& item = tables.itemTable.At(tables.lastIndex);
    item.Extra = LooseToInt16(extra);
    item.Text = std::move(text);
    item.Value = std::move(value);
    item.MenuNo = menuNo;
    if (const auto newKind = TranslateKind(oldKind)) {
      item.Kind = *newKind;
    }
    // Cannot wrap: At() has just refused any slot past 300.
    ++tables.lastIndex;
  }
  --tables.lastIndex;
  reader.Close();
}

}  // namespace shiftlet
