#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "driver/conversion_state.h"
#include "driver/platform.h"
#include "driver/run_record.h"
#include "textfile/conversion_failure.h"
#include "textfile/line_writer.h"

namespace shiftlet {

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
  // Every question is asked before anything changes. Succeeds (the record's steps say what it
  // did) or fails (its failure), never in between but for a write that fails after its checks
  // passed.
  RunEnd UndoConversion();

  // Rewrites default.qcf beside the new menu file, if there is one and it does not name that file
  // yet, so that it does: once it names it, it is Velmora 1.1's again, and not a byte of it
  // changes. Before it is first changed, keeps it as it was in default.qcf.before-shiftlet, unless
  // that is there already. Each field is written so that it reads back the same. Throws
  // ConversionFailure on any error; the file is then left as it was.
  void UpdateConfiguration();

  const ConversionState& State() const { return state_; }
  // What the run did to each file, and why it failed: filled as it goes, whole once it is over.
  const RunRecord& Record() const { return record_; }
  // Hands the record to whoever reports on the finished run, so that the items, which may be as
  // large as the old file, are not copied. The core's own is left empty.
  RunRecord TakeRecord() { return std::exchange(record_, RunRecord()); }

 private:
  void PickSource(FilePicker& picker);
  void PickDestination(FilePicker& picker);
  void ConvertPickedFiles(FilePicker& picker);
  void UndoPickedFiles(const std::string& source);
  UndoStep::Kind CompareNewFile(const std::string& source, std::string& why);
  RunEnd Report(RunEnd end, const char* text);
  RunEnd Failed(const std::exception& error);
  FileSystemObject& FileSystem();
  // The entry a read of `path` reaches, links followed: two paths name the same file exactly when
  // their keys are equal, as the file system compares names (case, on Windows).
  std::string FileKey(const std::string& path);
  // Whether `name`, a first line of default.qcf, names the new menu file, as the file system
  // finds names in its folder.
  bool NamesDestination(const std::string& name);
  // Whether default.qcf names the new menu file: false where it cannot be read, but for a file
  // another program holds, whose failure is thrown.
  bool ConfigurationNamesDestination();
  // Refuses a new menu file that is default.qcf or its backup, and a default.qcf that is a link,
  // before anything is asked or written.
  void RefuseConfigurationAsDestination();
  // Refuses `path`, default.qcf or its backup, when it is a link: its bytes are another file's.
  void RefuseLink(const std::string& path);
  // What becomes of a new menu file that differs and is not to be replaced: it stands, and, when
  // an undo kept it (nothing names it, and default.qcf's backup is beside it), default.qcf names
  // it again.
  void KeepDifferingNewFile();
  // The new menu file's name as its folder lists it, for default.qcf.
  std::string DestinationName();
  // Writes default.qcf's three lines, each field so that it reads back the same.
  static void WriteConfigurationLines(LineWriter& writer, const std::string& first,
                                      const std::string& second, const std::string& third);
  // Whether the file `write` writes, through the BeforeFirstWrite it is given, holds every byte
  // already: the comparison stops at the first byte that differs, and nothing is written.
  static bool HoldsAlready(const std::function<void(const BeforeFirstWrite&)>& write);
  // Whether default.qcf holds exactly what a conversion makes of these three fields.
  bool ConfigurationHolds(const std::string& first, const std::string& second,
                          const std::string& third);
  void KeepConfigurationBackup(const std::string& path);
  // Runs `step`; while it fails for a file another program holds, asks whoever is watching to
  // close that program and try again, and runs it again on Retry. Cancel throws
  // FileInUseCancelled. Boxes that answer by themselves are not asked: the failure stands.
  void RetryWhileHeld(const std::function<void()>& step);
  // The default.qcf beside the new menu file, once that file has been picked, and where it is kept
  // as it was before its first change.
  std::string ConfigurationPath() const;
  std::string ConfigurationBackupPath() const;
  // Ends the record of a run that ended so.
  RunEnd Ended(RunEnd end);

  Platform& platform_;
  std::unique_ptr<FileSystemObject> fileSystem_;  // created once the destination is known
  ConversionState state_;
  RunRecord record_;
  bool oldFileRead_ = false;
};

}  // namespace shiftlet
