// Taking a conversion back: the other job of ShiftletCore, over the same pickers and files.

#include <memory>

#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"
#include "textfile/line_writer.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

RunEnd ShiftletCore::UndoConversion() {
  FilePicker& picker = platform_.Picker();
  PickSource(picker);
  try {
    state_.SourceTitle = picker.FileTitle;
    const std::string source = picker.filename;
    PickDestination(picker);
    UndoPickedFiles(source);
  } catch (const std::exception& error) {
    record_.undoSteps.clear();
    return Failed(error);
  }
  return Ended(RunEnd::kSucceeded);
}

UndoStep::Kind ShiftletCore::CompareNewFile(const std::string& source, std::string& why) {
  if (!FileSystem().FileExists(state_.DestinationPath)) {
    return UndoStep::Kind::kNoMenuFile;
  }
  // Only a file that holds exactly what the conversion writes is known to be nobody's work.
  try {
    ReadOldMenuFile(*record_.tables, platform_.Files(), source);
    const bool holds = HoldsAlready([&](const BeforeFirstWrite& differs) {
      WriteNewMenuFile(*record_.tables, platform_.Files(), state_.DestinationPath, differs);
    });
    return holds ? UndoStep::Kind::kMenuFileRemoved : UndoStep::Kind::kMenuFileDiffers;
  } catch (const ConversionFailure& error) {
    why = error.what();
    return UndoStep::Kind::kMenuFileUnknown;
  }
}

void ShiftletCore::UndoPickedFiles(const std::string& source) {
  FileLayer& files = platform_.Files();
  const std::string configuration = ConfigurationPath();
  const std::string backup = ConfigurationBackupPath();
  const std::string& destination = state_.DestinationPath;

  // First every question, then every change, so that a refusal changes nothing.
  std::unique_ptr<FieldReader> current;
  bool named = false;
  if (FileSystem().FileExists(configuration)) {
    current = std::make_unique<FieldReader>(files, configuration);
    current->ReadFields({&state_.ConfigName});
    named = NamesDestination(state_.ConfigName);
  }
  std::string restored;      // default.qcf's bytes once it is taken back
  std::string restoredName;  // the file they name
  bool whole = false;        // default.qcf is as the conversion left it: the backup goes back whole
  if (named) {
    if (!FileSystem().FileExists(backup)) {
      throw ConversionFailure(configuration + " names " + destination + ", and there is no " +
                              backup + " to take its first line back from; nothing was changed");
    }
    RefuseLink(backup);
    FieldReader old(files, backup);
    old.ReadFields({&restoredName});
    const FieldOrigin oldFirst = old.LastOrigins().front();
    std::string oldSecond;
    std::string oldThird;
    if (!old.AtEnd()) {
      old.ReadFields({&oldSecond, &oldThird});
      whole = ConfigurationHolds(DestinationName(), oldSecond, oldThird);
    }
    if (whole) {
      restored = old.Bytes();
    } else {
      // Velmora 1.1, or someone, wrote default.qcf since: only the first field goes back, as the
      // backup holds it, and every other byte stays.
      const FieldOrigin& first = current->LastOrigins().front();
      const std::string_view bytes = current->Bytes();
      restored = std::string(bytes.substr(0, first.begin))
                     .append(old.Bytes().substr(oldFirst.begin, oldFirst.end - oldFirst.begin))
                     .append(bytes.substr(first.end));
      // Changed since only in ways the backup holds too: its bytes come back whole after all.
      whole = restored == old.Bytes();
    }
    files.CheckWritableInPlace(configuration);
  }
  std::string why;
  UndoStep::Kind menuFile = CompareNewFile(source, why);
  // Nobody's work goes, unless Velmora 1.1 would still be named it.
  if (menuFile == UndoStep::Kind::kMenuFileRemoved && named && NamesDestination(restoredName)) {
    menuFile = UndoStep::Kind::kMenuFileNamed;
  }
  // What is removed is the file asked about, never one put in its place since.
  std::string destinationId;
  if (menuFile == UndoStep::Kind::kMenuFileRemoved) {
    files.CheckWritableInPlace(destination);
    destinationId = files.FileIdOf(destination);
  }
  // A new menu file that stays keeps the backup too, so that a later conversion takes it back.
  const bool menuFileStays =
      menuFile != UndoStep::Kind::kMenuFileRemoved && menuFile != UndoStep::Kind::kNoMenuFile;
  const bool removeBackup = named && whole && !menuFileStays;
  std::string backupId;
  if (removeBackup) {
    files.CheckWritableInPlace(backup);  // removed: its folder is asked as for a replace
    backupId = files.FileIdOf(backup);
  }

  if (named) {
    ReplacementFile file(files, configuration);
    file.Write(restored);
    file.Commit();
    if (removeBackup) {
      files.RemoveIfStill(backup, backupId);
    }
    const UndoStep::Kind kind = !whole         ? UndoStep::Kind::kConfigurationFirstFieldRestored
                                : removeBackup ? UndoStep::Kind::kConfigurationRestored
                                               : UndoStep::Kind::kConfigurationRestoredBackupKept;
    record_.undoSteps.push_back({kind, configuration, state_.ConfigName, restoredName});
  } else if (current) {
    record_.undoSteps.push_back(
        {UndoStep::Kind::kConfigurationNamesOther, configuration, state_.ConfigName, ""});
  } else {
    record_.undoSteps.push_back({UndoStep::Kind::kNoConfiguration, configuration, "", ""});
  }
  if (menuFile == UndoStep::Kind::kMenuFileRemoved) {
    files.RemoveIfStill(destination, destinationId);
  }
  record_.undoSteps.push_back({menuFile, destination, source, why});
}

}  // namespace shiftlet
