#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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
  kKept,       // the new menu file exists and differs, and was not to be replaced: nothing written
};

// What an undo finds and does (or, in a check, would do) to one file.
struct UndoStep {
  enum class Kind {
    kConfigurationRestored,  // default.qcf's first line put back from its backup, which is removed
    kConfigurationNamesOther,  // default.qcf names another file: left alone
    kNoConfiguration,          // there is no default.qcf
    kMenuFileRemoved,          // the new menu file held the conversion of the old one: removed
    kMenuFileDiffers,          // the new menu file differs from that conversion: kept
    kMenuFileUnknown,          // the old file cannot be converted, so nobody can tell: kept
    kNoMenuFile,               // there is no new menu file
  };
  Kind kind;
  std::string path;    // the file the step is about
  std::string before;  // default.qcf's first line before the step, or the old menu file
  std::string after;   // default.qcf's first line after it, or why the old file cannot be read
};

// The program's exit status after a run that ended so: 0 succeeded, 1 failed, 2 declined (a
// question, or the replacing of a new menu file that differs).
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

  // Takes back what a conversion of the old file to the new one (each picked as RunConversion
  // picks them, with no box shown) changed: default.qcf's first line, when it names the new menu
  // file, from the backup the first conversion kept, which is then removed; and the new menu file,
  // only while it holds exactly the conversion of the old one and default.qcf no longer names it.
  // Every question is asked before anything changes. Succeeds (UndoSteps() says what it did) or
  // fails (FailureReason()), never in between but for a write that fails after its checks passed.
  RunEnd UndoConversion();

  // Rewrites default.qcf beside the new menu file, if there is one, so that it names the new file.
  // Before it is first changed, keeps it as it was in default.qcf.before-shiftlet, unless that is
  // there already. Throws ConversionFailure on any error; the file is then left as it was.
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
  // Whether a default.qcf was found beside the new file and brought to name it (rewritten, or
  // holding the three lines already).
  bool ConfigurationUpdated() const { return configurationUpdated_; }
  // Whether the run wrote the new menu file, default.qcf, and the backup of default.qcf: a file
  // that held the bytes already is not written.
  bool NewFileChanged() const { return newFileChanged_; }
  bool ConfigurationChanged() const { return configurationChanged_; }
  bool ConfigurationBackedUp() const { return configurationBackedUp_; }
  // Where default.qcf is kept as it was before its first change.
  std::string ConfigurationBackupPath() const;
  // After a run that ended kKept: whether default.qcf names the new menu file, so Velmora 1.1
  // already uses it.
  bool DestinationInUse() const { return destinationInUse_; }
  // What an undo did, in order: default.qcf, then the new menu file.
  const std::vector<UndoStep>& UndoSteps() const { return undoSteps_; }
  // Whether the undo changed anything.
  bool UndoChanged() const;

 private:
  void PickSource(FilePicker& picker);
  void PickDestination(FilePicker& picker);
  void ConvertPickedFiles(FilePicker& picker);
  void UndoPickedFiles(const std::string& source);
  UndoStep::Kind CompareNewFile(const std::string& source, std::string& why);
  RunEnd Report(RunEnd end, const char* text);
  RunEnd Failed(const std::exception& error);
  FileSystemObject& FileSystem();
  // Whether `name`, a first line of default.qcf, names the new menu file, as the file system
  // compares names in its folder.
  bool NamesDestination(const std::string& name);
  bool ConfigurationNamesDestination() noexcept;
  void KeepConfigurationBackup(const std::string& path);

  Platform& platform_;
  std::unique_ptr<FileSystemObject> fileSystem_;  // created once the destination is known
  ConversionState state_;
  MenuTables tables_;
  std::string failureReason_;
  ConversionFailure::Cause failureCause_ = ConversionFailure::Cause::kOther;
  bool oldFileRead_ = false;
  bool newFileWritten_ = false;
  bool configurationUpdated_ = false;
  bool newFileChanged_ = false;
  bool configurationChanged_ = false;
  bool configurationBackedUp_ = false;
  bool destinationInUse_ = false;
  std::vector<UndoStep> undoSteps_;
};

}  // namespace shiftlet
