#include "textfile/field_reader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <string>

#include "textfile/conversion_failure.h"
#include "textfile/number_forms.h"

namespace shiftlet {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// What ends a field's text: a quote or a line end in a quoted field, a comma or a line end in a
// bare one. Scanning texts is most of the reading, so the test is one table look-up per byte.
constexpr std::uint8_t kEndsQuoted = 1;
constexpr std::uint8_t kEndsBare = 2;
constexpr std::array<std::uint8_t, 256> kFieldEnds = [] {
  std::array<std::uint8_t, 256> ends{};
  ends['"'] = kEndsQuoted;
  ends[','] = kEndsBare;
  ends['\r'] = ends['\n'] = ends['\0'] = kEndsQuoted | kEndsBare;
  return ends;
}();

constexpr std::int32_t kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kInt16Max = std::numeric_limits<std::int16_t>::max();

std::string ReadWhole(FileLayer& files, const std::string& path) {
  const auto tooLarge = [&path] {
    return ConversionFailure("cannot read " + path + ": it is larger than " +
                             std::to_string(kLargestFileRead >> 20) +
                             " MiB, the most Shiftlet reads from one file");
  };
  std::unique_ptr<OpenFile> file = files.OpenForReading(path);
  // Refused before a byte is read or a buffer is made for it.
  const std::uint64_t hint = file->SizeHint();
  if (hint > kLargestFileRead) {
    throw tooLarge();
  }
  std::string bytes;
  // One byte more than the size, so the read that finds the end needs no larger buffer.
  bytes.reserve(static_cast<std::size_t>(hint) + 1);
  // A file that grows while it is read is read to one byte past the bound, which shows it.
  constexpr auto kLimit = static_cast<std::size_t>(kLargestFileRead) + 1;
  for (;;) {
    const std::size_t used = bytes.size();
    const std::size_t room =
        std::min(bytes.capacity() > used ? bytes.capacity() - used : std::max(kReadBlock, used),
                 kLimit - used);
    bytes.resize(used + room);
    const std::size_t got = file->Read(bytes.data() + used, room);
    bytes.resize(used + got);
    if (got == 0) {
      break;
    }
    if (bytes.size() > kLargestFileRead) {
      throw tooLarge();
    }
  }
  file->Close();
  return bytes;
}

}  // namespace

std::int16_t LooseToInt16(const LooseValue& value, const FailurePosition& where) {
  if (value.form == LooseValue::Form::kEmpty) {
    return 0;
  }
  const NumberReading reading = ReadWholeNumber(value.text, kInt16Min, kInt16Max);
  switch (reading.status) {
    case NumberStatus::kNumber:
      return static_cast<std::int16_t>(reading.value);
    case NumberStatus::kOverflow:
      throw ConversionFailure(Excerpt(value.text) + " does not fit in 16 bits", where);
    case NumberStatus::kNotANumber:
      break;
  }
  throw ConversionFailure("\"" + Excerpt(value.text) + "\" is not a number", where);
}

FieldReader::FieldReader(FileLayer& files, const std::string& path)
    : path_(path), bytes_(ReadWhole(files, path)) {}

bool FieldReader::AtEnd() {
  if (position_ > blankUntil_) {
    blankUntil_ = position_;
  }
  while (blankUntil_ < bytes_.size() &&
         (IsBlank(bytes_[blankUntil_]) || IsLineEnd(bytes_[blankUntil_]))) {
    ++blankUntil_;
  }
  return blankUntil_ == bytes_.size();
}

void FieldReader::SkipLineEnd() {
  // One line end: CR, LF, or CR followed by LF.
  if (bytes_[position_] == '\r' && position_ + 1 < bytes_.size() && bytes_[position_ + 1] == '\n') {
    ++position_;
  }
  ++position_;
  ++line_;
}

FailurePosition FieldReader::PositionAt(std::int64_t line, std::size_t index,
                                        const StatementLabel& label, std::size_t fieldCount) const {
  FailurePosition where;
  where.file = path_;
  where.line = line;
  where.item = label.item;
  // A lone field outside any item (a header) is known by its name alone.
  if (label.item > 0 || fieldCount > 1 || label.fieldNames.empty()) {
    where.field = static_cast<int>(index + 1);
  }
  if (index < label.fieldNames.size()) {
    where.fieldName = label.fieldNames[index];
  }
  return where;
}

FailurePosition FieldReader::PositionOf(std::size_t index, const StatementLabel& label,
                                        std::size_t fieldCount) const {
  const std::int64_t line = index < origins_.size() ? origins_[index].line : line_;
  return PositionAt(line, index, label, fieldCount);
}

std::size_t FieldReader::ScanTo(std::size_t from, std::uint8_t ends) const {
  // The text ends in a NUL (std::string keeps one past the end), which stops every scan without a
  // bounds test; a NUL inside the file is text and is stepped over.
  const auto* data = reinterpret_cast<const unsigned char*>(bytes_.c_str());
  for (;;) {
    while ((kFieldEnds[data[from]] & ends) == 0) {
      ++from;
    }
    if (data[from] != 0 || from >= bytes_.size()) {
      return from;
    }
    ++from;
  }
}

FieldReader::Field FieldReader::NextField(const StatementLabel& label, std::size_t index,
                                          std::size_t fieldCount) {
  const std::size_t size = bytes_.size();
  while (position_ < size && IsBlank(bytes_[position_])) {
    ++position_;
  }
  if (position_ == size) {
    throw ConversionFailure("the file ends before this field",
                            PositionAt(line_, index, label, fieldCount));
  }
  const char* data = bytes_.data();
  Field field;
  FieldOrigin& origin = origins_.emplace_back();
  origin.line = line_;
  origin.begin = position_;
  if (data[position_] == '"') {
    field.quoted = true;
    const std::size_t start = ++position_;
    position_ = ScanTo(position_, kEndsQuoted);
    field.text = std::string_view(data + start, position_ - start);
    if (position_ < size && data[position_] == '"') {
      position_ = ScanTo(position_ + 1, kEndsBare);
    } else if (position_ < size) {
      origin.lineEndInQuotes = true;
    }
  } else {
    const std::size_t start = position_;
    position_ = ScanTo(position_, kEndsBare);
    std::size_t end = position_;
    while (end > start && IsBlank(data[end - 1])) {
      --end;
    }
    field.text = std::string_view(data + start, end - start);
  }
  origin.end = position_;
  if (position_ < size) {
    if (data[position_] == ',') {
      ++position_;
    } else {
      SkipLineEnd();
    }
  }
  return field;
}

void FieldReader::Fill(const FieldTarget& target, const Field& field, const StatementLabel& label,
                       std::size_t index, std::size_t fieldCount) const {
  if (auto* text = std::get_if<std::string*>(&target)) {
    (*text)->assign(field.text);
  } else if (auto* integer = std::get_if<std::int16_t*>(&target)) {
    const NumberReading reading = ReadWholeNumber(field.text, kInt16Min, kInt16Max);
    if (reading.status == NumberStatus::kOverflow) {
      throw ConversionFailure(Excerpt(field.text) + " does not fit in 16 bits",
                              PositionOf(index, label, fieldCount));
    }
    **integer = static_cast<std::int16_t>(reading.value);  // 0 when not a number
  } else {
    LooseValue& loose = *std::get<LooseValue*>(target);
    loose.text.assign(field.text);
    if (field.quoted) {
      loose.form = LooseValue::Form::kText;
    } else if (field.text.empty()) {
      loose.form = LooseValue::Form::kEmpty;
    } else {
      const bool isNumber =
          ReadWholeNumber(field.text, kInt16Min, kInt16Max).status != NumberStatus::kNotANumber;
      loose.form = isNumber ? LooseValue::Form::kNumber : LooseValue::Form::kText;
    }
  }
}

void FieldReader::ReadFields(std::span<const FieldTarget> targets, const StatementLabel& label) {
  origins_.clear();
  for (std::size_t index = 0; index < targets.size(); ++index) {
    Fill(targets[index], NextField(label, index, targets.size()), label, index, targets.size());
  }
}

}  // namespace shiftlet
