#include <cstdint>
#include <limits>

#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"
#include "textfile/line_writer.h"
#include "textfile/number_forms.h"

namespace shiftlet {

std::int32_t OpenedMenuNumber(const std::string& value) {
  const NumberReading reading = ReadWholeNumber(value, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max());
  if (reading.status == NumberStatus::kNotANumber) {
    throw ConversionFailure("type mismatch: menu number \"" + Excerpt(value) + "\"");
  }
  if (reading.status == NumberStatus::kOverflow) {
    throw ConversionFailure("overflow: menu number " + Excerpt(value));
  }
  CheckedSlot(reading.value);
  return reading.value;
}

void WriteNewMenuFile(MenuTables& tables, FileLayer& files, const std::string& path) {
  LineWriter writer(files, path);
  tables.menuMap.At(0) = -1;
  writer.WriteLine({"70"});

  // The bound is taken once; the element pass ends before the node pass starts, so an item may
  // belong to a menu whose opening item comes later in the table.
  const std::int16_t last = tables.lastIndex;
  for (std::int16_t position = 0; position <= last; ++position) {
    const MenuItem& item = tables.itemTable.At(position);
    // e,position,Text,Kind,Value,,,Extra: plain integers, nothing quoted. The texts go out as
    // they are, never copied into a line first, however long they are.
    writer.WriteLine({"e,", PlainForm(position), ",", item.Text, ",", PlainForm(item.Kind), ",",
                      item.Value, ",,,", PlainForm(item.Extra)});
    if (item.Kind == 2) {
      // When several items open the same menu, the last one in the table wins.
      tables.menuMap.At(OpenedMenuNumber(item.Value)) = position;
    }
  }
  for (std::int16_t position = 0; position <= last; ++position) {
    const MenuItem& item = tables.itemTable.At(position);
    const std::int16_t opener = tables.menuMap.At(item.MenuNo);
    writer.WriteLine({"n,", position, ",", opener, ",", position});
  }
  writer.WriteLine({"x"});
  writer.Close();
}

}  // namespace shiftlet
