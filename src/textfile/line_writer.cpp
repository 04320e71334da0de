#include "textfile/line_writer.h"

#include <utility>

#include "textfile/conversion_failure.h"
#include "textfile/number_forms.h"

namespace shiftlet {

LineWriter::LineWriter(FileLayer& files, const std::string& path,
                       BeforeFirstWrite beforeFirstWrite) {
  file_.emplace(files, path, std::move(beforeFirstWrite));
}

void LineWriter::WriteLine(std::initializer_list<LineItem> items) {
  if (!file_) {
    throw ConversionFailure("write after close");
  }
  for (const LineItem& item : items) {
    if (const auto* text = std::get_if<std::string_view>(&item)) {
      file_->Write(*text);
    } else {
      file_->Write(PrintForm(std::get<std::int16_t>(item)));
    }
  }
  file_->Write("\r\n");
}

bool LineWriter::Close() {
  bool written = false;
  if (file_) {
    written = file_->Commit();
    file_.reset();
  }
  return written;
}

}  // namespace shiftlet
