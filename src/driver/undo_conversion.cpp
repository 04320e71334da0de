// Taking a conversion back: the other job of ShiftletCore, over the same pickers and files.

#include <memory>

#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "menu/menu_files.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"
#include "textfile/line_writer.h"

namespace shiftlet {

namespace {

// Thrown to stop a comparison at the first byte where the new menu file differs: nothing is
// written by an undo.
struct Differs {};

}  // namespace

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
    WriteNewMenuFile(*record_.tables, platform_.Files(), state_.DestinationPath,
                     [](FirstWrite) { throw Differs(); });
  } catch (const Differs&) {
    return UndoStep::Kind::kMenuFileDiffers;
  } catch (const ConversionFailure& error) {
    why = error.what();
    return UndoStep::Kind::kMenuFileUnknown;
  }
  return UndoStep::Kind::kMenuFileRemoved;
}

void ShiftletCore::UndoPickedFiles(const std::string& source) {
  FileLayer& files = platform_.Files();
  const std::string configuration = ConfigurationPath();
  const std::string backup = ConfigurationBackupPath();
  const std::string& destination = state_.DestinationPath;

  // First every question, then every change, so that a refusal changes nothing.
  std::unique_ptr<FieldReader> reader;
  std::string restored;
  bool restore = false;
  if (FileSystem().FileExists(configuration)) {
    reader = std::make_unique<FieldReader>(files, configuration);
    reader->ReadFields({&state_.ConfigName});
    restore = NamesDestination(state_.ConfigName);
  }
  if (restore) {
    if (!FileSystem().FileExists(backup)) {
      throw ConversionFailure(configuration + " names " + destination + ", and there is no " +
                              backup + " to take its first line back from; nothing was changed");
    }
    reader->ReadFields({&state_.ConfigSecond, &state_.ConfigThird});
    FieldReader old(files, backup);
    old.ReadFields({&restored});
    files.CheckWritableInPlace(configuration);
    files.CheckWritableInPlace(backup);  // removed: its folder is asked as for a replace
  }
  std::string why;
  const UndoStep::Kind menuFile = CompareNewFile(source, why);
  if (menuFile == UndoStep::Kind::kMenuFileRemoved) {
    files.CheckWritableInPlace(destination);
  }

  if (restore) {
    LineWriter writer(files, configuration);
    writer.WriteLine({restored});
    writer.WriteLine({state_.ConfigSecond});
    writer.WriteLine({state_.ConfigThird});
    writer.Close();
    files.Remove(backup);
    record_.undoSteps.push_back(
        {UndoStep::Kind::kConfigurationRestored, configuration, state_.ConfigName, restored});
  } else if (reader) {
    record_.undoSteps.push_back(
        {UndoStep::Kind::kConfigurationNamesOther, configuration, state_.ConfigName, ""});
  } else {
    record_.undoSteps.push_back({UndoStep::Kind::kNoConfiguration, configuration, "", ""});
  }
  // Velmora 1.1 no longer names the new menu file here: it may go if nobody changed it.
  if (menuFile == UndoStep::Kind::kMenuFileRemoved) {
    files.Remove(destination);
  }
  record_.undoSteps.push_back({menuFile, destination, source, why});
}

}  // namespace shiftlet
