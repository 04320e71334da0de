#include <cstdint>

#include "menu/kind_translation.h"
#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"

namespace shiftlet {

namespace {

constexpr std::array<const char*, 1> kHeaderName{"header"};

}  // namespace

void ReadOldMenuFile(MenuTables& tables, FileLayer& files, const std::string& path) {
  tables.lastIndex = 0;
  tables.sourcePath = path;
  FieldReader reader(files, path);
  std::int16_t header = 0;
  reader.ReadFields({&header}, {0, kHeaderName});

  std::string text;
  std::int16_t oldKind = 0;
  std::int16_t menuNo = 0;
  std::string value;
  LooseValue extra;
  while (!reader.AtEnd()) {
    const StatementLabel label{tables.lastIndex + 1, kOldItemFieldNames};
    reader.ReadFields({&text, &oldKind, &menuNo, &value, &extra}, label);
    if (tables.lastIndex >= static_cast<std::int16_t>(kMenuSlots)) {
      FailurePosition where = reader.PositionOf(0, label, kOldItemFields);
      where.field = 0;
      where.fieldName.clear();
      throw ConversionFailure("a menu file holds at most 301 items", where);
    }
    MenuItem& item = tables.itemTable.At(tables.lastIndex);
    item.Extra = LooseToInt16(extra, reader.PositionOf(kOldItemFields - 1, label, kOldItemFields));
    item.Text = std::move(text);
    item.Value = std::move(value);
    item.MenuNo = menuNo;
    if (const auto newKind = TranslateKind(oldKind)) {
      item.Kind = *newKind;
    }
    ItemOrigin& origin = tables.origins[static_cast<std::size_t>(tables.lastIndex)];
    const std::span<const FieldOrigin> fields = reader.LastOrigins();
    for (std::size_t field = 0; field < kOldItemFields && field < fields.size(); ++field) {
      origin.lines[field] = fields[field].line;
      origin.lineEndInQuotes[field] = fields[field].lineEndInQuotes;
    }
    origin.oldKind = oldKind;
    // Cannot wrap: the test above has just refused any slot past 300.
    ++tables.lastIndex;
  }
  --tables.lastIndex;
  reader.Close();
}

}  // namespace shiftlet
