#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace shiftlet {

// Where in a file a failure was found; every part is optional. Lines, items and fields count from
// 1, as a user reading the file counts them; 0 means not known or not applicable.
struct FailurePosition {
  std::string file;
  std::int64_t line = 0;
  std::int64_t item = 0;
  int field = 0;
  std::string fieldName;  // "old kind", "Value"... or the name of a field outside any item

  bool empty() const { return file.empty() && line == 0 && item == 0 && fieldName.empty(); }
  // "menu.qof line 12, item 11, field 2 (old kind)"; "" when nothing is known.
  std::string Described() const;
};

// The one kind of failure of a conversion: a file that cannot be opened, read or written, a field
// that cannot be converted, an index outside its table, an invalid argument. It is thrown where the
// error happens, with the position known there, and caught only by the driver. The interactive run
// shows one fixed message whatever the detail; the unattended run and the check print it.
class ConversionFailure : public std::runtime_error {
 public:
  explicit ConversionFailure(const std::string& reason) : ConversionFailure(reason, {}) {}
  ConversionFailure(const std::string& reason, FailurePosition where)
      : std::runtime_error(Compose(where, reason)), reason_(reason), where_(std::move(where)) {}

  // What the person running the program can do about a failure, where the system tells.
  enum class Cause {
    kOther,
    kAccessDenied,   // whoever runs it lacks rights another account or elevation may have (a
                     // read-only file is not one: no rights help)
    kMissingFolder,  // the folder a file was to be written in does not exist
    kInUse,          // another program held the file still after the wait: try again later
  };

  // A failure for want of rights: an unattended run and a check then say how to run with them.
  static ConversionFailure AccessDenied(const std::string& reason) {
    return WithCause(reason, Cause::kAccessDenied);
  }
  // "the folder F does not exist": an unattended run and a check say what its absence means.
  static ConversionFailure MissingFolder(const std::string& folder) {
    return WithCause("the folder " + folder + " does not exist", Cause::kMissingFolder);
  }

  // A file another program held still after the wait, named by `holder` ("Velmora (process
  // 1234)", as the system names it; "" when it names nobody). The reason is exactly
  //   <file> is in use by <holder>
  //   <file> is in use by another program
  // with no full stop, so that it can begin a sentence of its own.
  static ConversionFailure InUse(const std::string& file, const std::string& holder) {
    ConversionFailure failure =
        WithCause(file + " is in use by " + NamedHolder(holder), Cause::kInUse);
    failure.heldFile_ = file;
    failure.holder_ = NamedHolder(holder);
    return failure;
  }
  // The holder as the failure names it: "another program" for "".
  static std::string NamedHolder(const std::string& holder) {
    return holder.empty() ? "another program" : holder;
  }

  // What went wrong, without the position: "70000 does not fit in 16 bits".
  const std::string& Reason() const { return reason_; }
  const FailurePosition& Where() const { return where_; }
  Cause WhatCaused() const { return cause_; }
  // For kInUse, the file and who held it ("another program" where nobody is named); else "".
  const std::string& HeldFile() const { return heldFile_; }
  const std::string& Holder() const { return holder_; }

 private:
  static ConversionFailure WithCause(const std::string& reason, Cause cause) {
    ConversionFailure failure(reason);
    failure.cause_ = cause;
    return failure;
  }

  static std::string Compose(const FailurePosition& where, const std::string& reason) {
    const std::string position = where.Described();
    return position.empty() ? reason : position + ": " + reason;
  }

  std::string reason_;
  FailurePosition where_;
  Cause cause_ = Cause::kOther;
  std::string heldFile_;
  std::string holder_;
};

inline std::string FailurePosition::Described() const {
  std::string text = file;
  const auto add = [&text](const std::string& part, const char* separator) {
    if (!text.empty()) {
      text += separator;
    }
    text += part;
  };
  if (line > 0) {
    add("line " + std::to_string(line), " ");
  }
  if (item > 0) {
    add("item " + std::to_string(item), ", ");
  }
  if (field > 0) {
    add("field " + std::to_string(field) + (fieldName.empty() ? "" : " (" + fieldName + ")"), ", ");
  } else if (!fieldName.empty()) {
    add(fieldName, ", ");
  }
  return text;
}

// A field as quoted in a failure's detail: at most its first 40 bytes and its size. An enormous
// field copied whole into the detail would double the memory a failure needs.
inline std::string Excerpt(std::string_view text) {
  constexpr std::size_t kShownBytes = 40;
  if (text.size() <= kShownBytes) {
    return std::string(text);
  }
  return std::string(text.substr(0, kShownBytes)) + "... (" + std::to_string(text.size()) +
         " bytes)";
}

}  // namespace shiftlet
