#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // default.qcf was as the conversion left it: its backup's bytes put back whole, and the
    // backup removed; or kept, while the new menu file is kept, for a later conversion to take
    // that file back.
    kConfigurationRestored,
    kConfigurationRestoredBackupKept,
    // default.qcf had changed since the conversion: only its first field put back, as its backup
    // holds it, and the backup kept, as it holds what default.qcf no longer does.
    kConfigurationFirstFieldRestored,
    kConfigurationNamesOther,  // default.qcf names another file: left alone
    kNoConfiguration,          // there is no default.qcf
    kMenuFileRemoved,          // the new menu file held the conversion of the old one: removed
    kMenuFileDiffers,          // the new menu file differs from that conversion: kept
    kMenuFileUnknown,          // the old file cannot be converted, so nobody can tell: kept
    kMenuFileNamed,            // the default.qcf the undo leaves still names it: kept
    kNoMenuFile,               // there is no new menu file
  };
  Kind kind;
  std::string path;    // the file the step is about
  std::string before;  // default.qcf's first line before the step, or the old menu file
  std::string after;   // default.qcf's first line after it, or why the old file cannot be read
};

// What one run of ShiftletCore did to each file, or, over a dry run, would have done: all that a
// line, a report or a log says of the run is made from it, never asked of the core again.
struct RunRecord {
  RunEnd end = RunEnd::kFailed;
  std::string source;       // the old menu file as picked; empty until the picker answered
  std::string destination;  // the new menu file as picked; empty until the picker answered

  // The items read from the old file (all of them, or those whole before a failure while reading
  // it), and the menu map once the new file's lines were worked out: what the new file's node
  // lines say, each item under the item opening its menu.
  std::int64_t items = 0;
  std::unique_ptr<MenuTables> tables = std::make_unique<MenuTables>();
  bool newFileWhole = false;    // written whole, or found holding every line already
  bool newFileChanged = false;  // written: false when it held exactly these bytes already
  std::int64_t newFileLines = 0;

  // The default.qcf beside the new menu file, once that file was picked.
  std::string configurationPath;
  bool configurationFound = false;    // there was one, and it was brought to name the new file
  bool configurationChanged = false;  // rewritten: false when it held its three lines already
  std::string configurationBefore;    // its first field before the run
  std::string configurationAfter;     // and after it
  std::string configurationBackup;    // where it was first kept as it was; empty when it was not
  // After a run that ended kKept: why the new menu file that differs stands.
  enum class Kept {
    kUnnamed,          // nothing names it
    kNamed,            // default.qcf names it, so Velmora 1.1 uses it already
    kNamedAgain,       // an undo had kept it, changed since: default.qcf names it again
    kNoConfiguration,  // there is no default.qcf to name any file
    kOldFile,          // it is the old menu file itself
  };
  Kept kept = Kept::kUnnamed;

  // What an undo did, in order: default.qcf, then the new menu file.
  std::vector<UndoStep> undoSteps;

  // Why the run failed, with the file, line, item and field where known; empty unless it failed.
  std::string failure;
  // What the system said caused it (rights another account or elevation would have, a missing
  // folder), so that an unattended run can say what to do about it.
  ConversionFailure::Cause failureCause = ConversionFailure::Cause::kOther;

  // Whether a conversion changed any file.
  bool Converted() const { return newFileChanged || configurationChanged; }
  // Whether an undo changed any file.
  bool Undid() const {
    for (const UndoStep& step : undoSteps) {
      if (step.kind == UndoStep::Kind::kConfigurationRestored ||
          step.kind == UndoStep::Kind::kConfigurationRestoredBackupKept ||
          step.kind == UndoStep::Kind::kConfigurationFirstFieldRestored ||
          step.kind == UndoStep::Kind::kMenuFileRemoved) {
        return true;
      }
    }
    return false;
  }
};

}  // namespace shiftlet
