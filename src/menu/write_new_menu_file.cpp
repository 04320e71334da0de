#include <cstdint>
#include <limits>

#include "menu/menu_files.h"
#include "menu/new_menu_lines.h"
#include "textfile/conversion_failure.h"
#include "textfile/line_writer.h"
#include "textfile/number_forms.h"

namespace shiftlet {

namespace {

class WrittenLines final : public NewMenuLines {
 public:
  explicit WrittenLines(LineWriter& writer) : writer_(writer) {}

  void Element(std::int16_t position, const MenuItem& item) override {
    // e,position,Text,Kind,Value,,,Extra: plain integers, nothing quoted. The texts go out as
    // they are, never copied into a line first, however long they are.
    writer_.WriteLine({"e,", PlainForm(position), ",", item.Text, ",", PlainForm(item.Kind), ",",
                       item.Value, ",,,", PlainForm(item.Extra)});
  }
  void Node(std::int16_t position, std::int16_t opener) override {
    writer_.WriteLine({"n,", position, ",", opener, ",", position});
  }

 private:
  LineWriter& writer_;
};

}  // namespace

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

void WriteNewMenuFile(MenuTables& tables, FileLayer& files, const std::string& path) {
  LineWriter writer(files, path);
  writer.WriteLine({"70"});
  WrittenLines lines(writer);
  ProduceNewMenuLines(tables, lines);
  writer.WriteLine({"x"});
  writer.Close();
}

}  // namespace shiftlet
