#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"
#include "textfile/line_writer.h"
#include "textfile/number_forms.h"

namespace shiftlet {

std::int32_t OpenedMenuNumber(const std::string& value, const FailurePosition& where) {
  const NumberReading reading = ReadWholeNumber(value, std::numeric_limits<std::int32_t>::min(),
                                                std::numeric_limits<std::int32_t>::max());
  if (reading.status == NumberStatus::kNotANumber) {
    throw ConversionFailure("menu number \"" + Excerpt(value) + "\" is not a number", where);
  }
  if (reading.status == NumberStatus::kOverflow || reading.value < 0 ||
      reading.value >= static_cast<std::int32_t>(kMenuSlots)) {
    throw ConversionFailure("menu number " + Excerpt(value) + " is outside 0..300", where);
  }
  return reading.value;
}

NewMenuFile WriteNewMenuFile(MenuTables& tables, FileLayer& files, const std::string& path,
                             BeforeFirstWrite beforeFirstWrite, BeforeReplace beforeReplace) {
  LineWriter writer(files, path, std::move(beforeFirstWrite), std::move(beforeReplace));
  writer.WriteLine({"70"});
  tables.menuMap.At(0) = -1;
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
      // Converted after its line is written. When several items open the same menu, the last one
      // in the table wins.
      const auto slot = static_cast<std::size_t>(position);
      tables.menuMap.At(OpenedMenuNumber(item.Value, OldFieldPosition(tables, slot, kValueField))) =
          position;
    }
  }
  for (std::int16_t position = 0; position <= last; ++position) {
    const MenuItem& item = tables.itemTable.At(position);
    if (item.MenuNo < 0 || item.MenuNo >= static_cast<std::int16_t>(kMenuSlots)) {
      throw ConversionFailure(
          "menu " + std::to_string(item.MenuNo) + " is outside 0..300",
          OldFieldPosition(tables, static_cast<std::size_t>(position), kMenuNoField));
    }
    writer.WriteLine({"n,", position, ",", tables.menuMap.At(item.MenuNo), ",", position});
  }
  writer.WriteLine({"x"});
  const bool written = writer.Close();
  return {written, writer.Lines()};
}

}  // namespace shiftlet
