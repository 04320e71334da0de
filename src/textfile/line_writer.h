#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "textfile/file_layer.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

// One item of a write statement: text written as it is, or an integer written in print form.
using LineItem = std::variant<std::string_view, std::int16_t>;

// Writes a file one line per write statement, each line ended by CR LF.
// The file appears at its path only when Close() succeeds; a writer destroyed before that (a
// failure) leaves whatever was at the path untouched.
class LineWriter {
 public:
  // Opens `path` for writing. Throws ConversionFailure when it could not be written in place.
  // `beforeFirstWrite` and `beforeReplace` are asked as ReplacementFile asks them.
  LineWriter(FileLayer& files, const std::string& path, BeforeFirstWrite beforeFirstWrite = {},
             BeforeReplace beforeReplace = {});

  // One write statement: the items one after another, nothing between them and nothing quoted
  // or escaped, then CR LF.
  void WriteLine(std::initializer_list<LineItem> items);

  // Writes out everything and puts the file in place. Returns whether the file was written:
  // false when it already held exactly these lines. Throws ConversionFailure on any error.
  bool Close();

  // The lines given so far, as a reader of the file counts them: each CR LF ends one, wherever it
  // falls, so a text holding CR LF makes two lines of one write statement.
  std::int64_t Lines() const { return lines_; }

 private:
  void Write(std::string_view bytes);

  std::optional<ReplacementFile> file_;
  std::int64_t lines_ = 0;
  bool endsInCr_ = false;
};

// `text` as a field that a FieldReader gives back as `text`: as it is, unless a bare field would
// lose some of it (a comma, a double quote first, a space or a tab first or last), and then between
// double quotes. Every text a FieldReader gives can be written so: a quoted field never holds a
// quote, and a bare one never starts with one. Throws ConversionFailure, naming `what`, for a text
// that no field gives back: one holding a line end, or a quote as well as what needs quoting.
std::string RereadableField(std::string_view text, const std::string& what);
// Whether some field gives `text` back: whether RereadableField takes it.
bool Rereadable(std::string_view text);

}  // namespace shiftlet
