#include "driver/shiftlet_core.h"

#include <memory>

#include "driver/messages.h"
#include "menu/menu_files.h"
#include "paths/path_text.h"
#include "paths/shown_text.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"
#include "textfile/line_writer.h"
#include "textfile/replacement_file.h"

namespace shiftlet {

namespace {

// Thrown by the question before the new menu file would replace a file that differs, when the
// answer is No: the run ends with nothing written. Not a failure, so no ConversionFailure.
struct NewFileKept {};

}  // namespace

int ExitStatusFor(RunEnd end) {
  switch (end) {
    case RunEnd::kSucceeded:
      return 0;
    case RunEnd::kFailed:
      return 1;
    case RunEnd::kDeclined:
    case RunEnd::kKept:
      return 2;
  }
  return 1;
}

void ShiftletCore::PickSource(FilePicker& picker) {
  picker.Filter = messages::kSourceFilter;
  picker.InitDir = messages::kSourceFolder;
  picker.filename = messages::kSourceName;
  picker.DialogTitle = messages::kSourceTitle;
  picker.ShowOpen();
}

void ShiftletCore::PickDestination(FilePicker& picker) {
  picker.Filter = messages::kDestinationFilter;
  picker.InitDir = messages::kDestinationFolder;
  picker.filename = DefaultDestinationName(state_.SourceTitle, platform_.NameCodePage());
  picker.DialogTitle = messages::kDestinationTitle;
  picker.ShowOpen();
  state_.DestinationPath = picker.filename;
  state_.DestinationTitle = picker.FileTitle;
  state_.DestinationFolder = FileSystem().GetParentFolderName(state_.DestinationPath);
}

RunEnd ShiftletCore::RunConversion() {
  MessageBoxes& boxes = platform_.Boxes();
  if (!boxes.AskYesNo(messages::kAskInstalled)) {
    boxes.ShowOk(messages::kInstallFirst);
    return RunEnd::kDeclined;
  }
  if (!boxes.AskYesNo(messages::kAskContinue)) {
    return RunEnd::kDeclined;
  }
  boxes.ShowOk(messages::kSelectSource);

  FilePicker& picker = platform_.Picker();
  PickSource(picker);

  // From here on, whatever goes wrong ends in the one failure message.
  try {
    ConvertPickedFiles(picker);
  } catch (const NewFileKept&) {
    destinationInUse_ = ConfigurationNamesDestination();
    return RunEnd::kKept;
  } catch (const std::exception& error) {
    Failed(error);
    return Report(RunEnd::kFailed, messages::kFailure);
  } catch (...) {
    failureReason_ = "unknown error";
    return Report(RunEnd::kFailed, messages::kFailure);
  }
  return Report(RunEnd::kSucceeded, messages::kSuccess);
}

RunEnd ShiftletCore::Failed(const std::exception& error) {
  failureReason_ = error.what();
  if (const auto* failure = dynamic_cast<const ConversionFailure*>(&error)) {
    failureCause_ = failure->WhatCaused();
  }
  return RunEnd::kFailed;
}

RunEnd ShiftletCore::Report(RunEnd end, const char* text) {
  try {
    platform_.Boxes().ShowOk(text);
  } catch (const std::exception& error) {
    // The files are as the run left them; only the telling failed.
    throw OutcomeNotShown(end, error.what());
  }
  return end;
}

FileSystemObject& ShiftletCore::FileSystem() {
  if (!fileSystem_) {
    fileSystem_ = platform_.CreateFileSystemObject();
  }
  return *fileSystem_;
}

void ShiftletCore::ConvertPickedFiles(FilePicker& picker) {
  state_.SourceTitle = picker.FileTitle;
  ReadOldMenuFile(tables_, platform_.Files(), picker.filename);
  oldFileRead_ = true;

  platform_.Boxes().ShowOk(messages::kSelectDestination);
  PickDestination(picker);
  // A file picked in an open-file dialog is never said to be replaced there: asked here, before
  // anything is written, and only when its bytes are not those of this conversion.
  const std::string question = ShownText(state_.DestinationPath, platform_.NameCodePage()) +
                               messages::kReplaceDiffers + "\n\n" + messages::kReplaceIt;
  newFileChanged_ =
      WriteNewMenuFile(tables_, platform_.Files(), state_.DestinationPath, [&](FirstWrite why) {
        if (why == FirstWrite::kReplacingOther && !platform_.Boxes().AskYesNoDefaultNo(question)) {
          throw NewFileKept();
        }
      });
  newFileWritten_ = true;
  UpdateConfiguration();
}

std::int64_t ShiftletCore::ItemCount() const {
  // A failed read leaves lastIndex at the next free slot: the items before it are whole.
  return oldFileRead_ ? tables_.lastIndex + 1 : tables_.lastIndex;
}

std::string ShiftletCore::ConfigurationPath() const {
  return JoinPath(state_.DestinationFolder, platform_.PathSeparator(), messages::kConfigurationName,
                  platform_.NameCodePage());
}

std::string ShiftletCore::ConfigurationBackupPath() const {
  return ConfigurationPath() + messages::kConfigurationBackupSuffix;
}

bool ShiftletCore::NamesDestination(const std::string& name) {
  FileLayer& files = platform_.Files();
  const std::string named =
      JoinPath(state_.DestinationFolder, platform_.PathSeparator(), name, platform_.NameCodePage());
  return files.EntryKey(named) == files.EntryKey(state_.DestinationPath);
}

bool ShiftletCore::ConfigurationNamesDestination() noexcept {
  try {
    const std::string path = ConfigurationPath();
    if (!FileSystem().FileExists(path)) {
      return false;
    }
    FieldReader reader(platform_.Files(), path);
    std::string first;
    reader.ReadFields({&first});
    return NamesDestination(first);
  } catch (...) {
    return false;  // a default.qcf that cannot be read names nothing Velmora could use
  }
}

void ShiftletCore::UpdateConfiguration() {
  const std::string path = ConfigurationPath();
  if (!FileSystem().FileExists(path)) {
    return;  // nothing is created where Velmora keeps no configuration
  }
  FieldReader reader(platform_.Files(), path);
  reader.ReadFields({&state_.ConfigName, &state_.ConfigSecond, &state_.ConfigThird});
  reader.Close();

  LineWriter writer(platform_.Files(), path, [&](FirstWrite) { KeepConfigurationBackup(path); });
  writer.WriteLine({state_.DestinationTitle});
  writer.WriteLine({state_.ConfigSecond});
  writer.WriteLine({state_.ConfigThird});
  configurationChanged_ = writer.Close();
  configurationUpdated_ = true;
}

void ShiftletCore::KeepConfigurationBackup(const std::string& path) {
  const std::string backup = ConfigurationBackupPath();
  if (FileSystem().FileExists(backup)) {
    return;  // it holds default.qcf from before the first conversion: never overwritten
  }
  // A default.qcf that cannot be changed fails before a copy is made that no change needs.
  platform_.Files().CheckWritableInPlace(path);
  const std::unique_ptr<OpenFile> original = platform_.Files().OpenForReading(path);
  ReplacementFile copy(platform_.Files(), backup);
  std::string block(64 * 1024, '\0');
  while (const std::size_t got = original->Read(block.data(), block.size())) {
    copy.Write(std::string_view(block.data(), got));
  }
  copy.Commit();
  configurationBackedUp_ = true;
}

}  // namespace shiftlet
