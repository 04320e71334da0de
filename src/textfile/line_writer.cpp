#include "textfile/line_writer.h"

#include <utility>

#include "textfile/conversion_failure.h"
#include "textfile/number_forms.h"

namespace shiftlet {

LineWriter::LineWriter(FileLayer& files, const std::string& path, BeforeFirstWrite beforeFirstWrite,
                       BeforeReplace beforeReplace) {
  file_.emplace(files, path, std::move(beforeFirstWrite), std::move(beforeReplace));
}

void LineWriter::WriteLine(std::initializer_list<LineItem> items) {
  if (!file_) {
    throw ConversionFailure("write after close");
  }
  for (const LineItem& item : items) {
    if (const auto* text = std::get_if<std::string_view>(&item)) {
      Write(*text);
    } else {
      Write(PrintForm(std::get<std::int16_t>(item)));
    }
  }
  Write("\r\n");
}

void LineWriter::Write(std::string_view bytes) {
  if (bytes.empty()) {
    return;
  }
  if (endsInCr_ && bytes.front() == '\n') {
    ++lines_;
  }
  for (std::size_t lf = bytes.find('\n', 1); lf != std::string_view::npos;
       lf = bytes.find('\n', lf + 1)) {
    if (bytes[lf - 1] == '\r') {
      ++lines_;
    }
  }
  endsInCr_ = bytes.back() == '\r';
  file_->Write(bytes);
}

namespace {

// Whether a bare field gives `text` back whole.
bool BareKeeps(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  return text.find_first_of(",\r\n") == std::string_view::npos &&
         (text.empty() || (text.front() != '"' && !blank(text.front()) && !blank(text.back())));
}

}  // namespace

bool Rereadable(std::string_view text) {
  return BareKeeps(text) || text.find_first_of("\"\r\n") == std::string_view::npos;
}

std::string RereadableField(std::string_view text, const std::string& what) {
  if (BareKeeps(text)) {
    return std::string(text);
  }
  if (Rereadable(text)) {
    // Built in place: mingw's -O3 takes "\"" + std::string(text) for an overlapping copy.
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
  }
  throw ConversionFailure("\"" + Excerpt(text) + "\" cannot be written as " + what +
                          " so that it reads back the same");
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
