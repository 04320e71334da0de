#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "textfile/conversion_failure.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// A field kept in the form it was found in, to be converted by the caller afterwards.
struct LooseValue {
  enum class Form { kEmpty, kNumber, kText };
  Form form = Form::kEmpty;
  std::string text;
};

// Converts a loose value to a 16-bit integer: empty gives 0; a number, or text that reads as one,
// gives its value; any other text (the empty text of a quoted "" included) is a type mismatch.
// Throws ConversionFailure, at `where`, on a type mismatch or when the value does not fit in 16
// bits.
std::int16_t LooseToInt16(const LooseValue& value, const FailurePosition& where = {});

// Where one field of a read statement goes, and so how it is read.
using FieldTarget = std::variant<std::string*, std::int16_t*, LooseValue*>;

// How failures name the fields of a read statement: the item they belong to (from 1; 0 for none)
// and a name for each field, in order. Without names a field is known by its number alone.
struct StatementLabel {
  std::int64_t item = 0;
  std::span<const char* const> fieldNames;
};

// Where a field that has been read began, and whether a line end inside its quotes ended it.
struct FieldOrigin {
  std::int64_t line = 0;
  bool lineEndInQuotes = false;
  // Where its bytes stand in the file, quotes included: from its first byte (after the spaces
  // before it) up to the comma or line end that ends it, or the end of the file.
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The largest old menu file or default.qcf read, in bytes. A real one is a few kilobytes; a file
// is read whole into memory, where its texts are copied once more, so a larger one is refused
// before it is read. A 32-bit program has 2 GB of addresses for everything, so it reads less.
inline constexpr std::uint64_t kLargestFileRead =
    sizeof(void*) >= 8 ? std::uint64_t{512} << 20 : std::uint64_t{128} << 20;

// Reads a file of fields separated by commas and line ends (CR, LF or CRLF, each one line end).
// The file is read whole when it is opened and closed at once, so only the parsing remains.
//
// How a field is read:
// - Spaces and tabs before a field are skipped.
// - A field starting with a double quote runs to the next double quote; the characters after the
//   closing quote are skipped up to and including the next comma or line end. A line end before
//   the closing quote ends the field there and is its delimiter, so no field ever holds a CR or LF.
//   A quote is never part of a quoted field's text.
// - Any other field runs to the next comma or line end, which is consumed. Spaces and tabs at its
//   end are not part of it: "Open  ," reads as "Open". Number-sign texts such as "#TRUE#" are
//   plain text.
// - A comma or line end met at once is an empty field.
// - The last field of a file may end at the end of the file, with no line end.
class FieldReader {
 public:
  // Opens `path` and reads it whole. Throws ConversionFailure when it cannot, or when it holds more
  // than kLargestFileRead bytes.
  FieldReader(FileLayer& files, const std::string& path);

  // True when nothing but spaces, tabs and line ends is left, so blank lines at the end of a file
  // are not a further field.
  bool AtEnd();

  // One read statement: fills the targets in order from the next fields, across line ends.
  // Throws ConversionFailure when the file ends before the last target (input past the end) or a
  // number does not fit a 16-bit target (overflow). Text that is not a number gives 0 for a
  // 16-bit target, without failing.
  // A failure names the file, the line, and the field as `label` says.
  void ReadFields(std::initializer_list<FieldTarget> targets, const StatementLabel& label = {}) {
    ReadFields(std::span<const FieldTarget>(targets.begin(), targets.size()), label);
  }
  // The same, for a list of targets made at run time.
  void ReadFields(std::span<const FieldTarget> targets, const StatementLabel& label = {});

  // The file's bytes, as read.
  std::string_view Bytes() const { return bytes_; }

  // Where each field of the last read statement began, in order.
  std::span<const FieldOrigin> LastOrigins() const { return origins_; }
  // The position of field `index` (from 0) of the last read statement, for a failure found in it
  // after the read (a loose value that does not convert).
  FailurePosition PositionOf(std::size_t index, const StatementLabel& label,
                             std::size_t fieldCount) const;

  // Nothing is left open to close; kept so that every file is used open, read or write, close.
  void Close() {}

 private:
  struct Field {
    std::string_view text;
    bool quoted = false;
  };
  // Reads the next field, noting where it began in origins_; `where` names it in a failure.
  Field NextField(const StatementLabel& label, std::size_t index, std::size_t fieldCount);
  // The first position at or after `from` holding a byte of the class `ends`, or the size.
  std::size_t ScanTo(std::size_t from, std::uint8_t ends) const;
  void SkipLineEnd();
  void Fill(const FieldTarget& target, const Field& field, const StatementLabel& label,
            std::size_t index, std::size_t fieldCount) const;
  FailurePosition PositionAt(std::int64_t line, std::size_t index, const StatementLabel& label,
                             std::size_t fieldCount) const;

  std::string path_;
  std::string bytes_;
  std::size_t position_ = 0;
  std::int64_t line_ = 1;  // the line position_ is on
  std::vector<FieldOrigin> origins_;
  // Where the last AtEnd() scan stopped; everything from position_ up to it is blank, so a long
  // run of blank lines is scanned once however often AtEnd() is asked.
  std::size_t blankUntil_ = 0;
};

}  // namespace shiftlet
