#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "driver/conversion_state.h"
#include "driver/platform.h"
#include "menu/item_table.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

// How a run ended; the program's exit status follows from it.
enum class RunEnd {
  kSucceeded,  // the success message was shown
  kFailed,     // the failure message was shown
  kDeclined,   // the user said No to one of the two opening questions
};

// The program's exit status after a run that ended so: 0 succeeded, 1 failed, 2 declined.
int ExitStatusFor(RunEnd end);
// The exit status when an error stopped the program before the conversion could start.
inline constexpr int kExitStartupError = 3;

// Thrown by RunConversion when the run has ended (files written or not) but its closing message
// could not be shown. The run's end, not this error, says what happened to the files.
class OutcomeNotShown : public std::runtime_error {
 public:
  OutcomeNotShown(RunEnd end, const std::string& what) : std::runtime_error(what), end_(end) {}
  RunEnd End() const { return end_; }

 private:
  RunEnd end_;
};

// The program: the dialogue with the user, the conversion and the configuration update, for one
// run. Its state lives in the object, so any number of runs can be made in one process.
class ShiftletCore {
 public:
  explicit ShiftletCore(Platform& platform) : platform_(platform) {}

  // Leads the user through the whole conversion and reports the outcome. Every ConversionFailure,
  // and every other error, from the moment the old file has been picked ends in the failure
  // message. An error before that (say, the picker cannot be created) propagates to the caller,
  // which reports it in the platform's own way. When the closing message itself cannot be shown,
  // throws OutcomeNotShown with the run's end.
  RunEnd RunConversion();

  // Rewrites default.qcf beside the new menu file, if there is one, so that it names the new file.
  // Throws ConversionFailure on any error; the file is then left as it was.
  void UpdateConfiguration();

  const ConversionState& State() const { return state_; }
  // Why the run failed, with the file, line, item and field where known; empty unless it failed.
  const std::string& FailureReason() const { return failureReason_; }
  // What the system said caused the failure (rights another account or elevation would have, a
  // missing folder), so that an unattended run can say what to do about it.
  ConversionFailure::Cause FailureCause() const { return failureCause_; }
  // The number of items read from the old file: all of them, or those whole before a failure
  // while reading it.
  std::int64_t ItemCount() const;
  // The items read, and the menu map once the new file's lines have been worked out.
  const MenuTables& Tables() const { return tables_; }
  // Hands the tables to whoever reports on a finished run, so that the items, which may be as
  // large as the old file, are not copied. The core's own are left empty.
  MenuTables ReleaseTables() { return std::exchange(tables_, MenuTables()); }
  // Whether the new menu file was written whole (and so every menu number in it is good).
  bool NewFileWritten() const { return newFileWritten_; }
  // The default.qcf beside the new menu file, once that file has been picked.
  std::string ConfigurationPath() const;
  // Whether a default.qcf was found beside the new file and rewritten.
  bool ConfigurationUpdated() const { return configurationUpdated_; }

 private:
  void ConvertPickedFiles(FilePicker& picker);
  RunEnd Report(RunEnd end, const char* text);

  Platform& platform_;
  std::unique_ptr<FileSystemObject> fileSystem_;  // created once the destination is known
  ConversionState state_;
  MenuTables tables_;
  std::string failureReason_;
  ConversionFailure::Cause failureCause_ = ConversionFailure::Cause::kOther;
  bool oldFileRead_ = false;
  bool newFileWritten_ = false;
  bool configurationUpdated_ = false;
};

}  // namespace shiftlet
