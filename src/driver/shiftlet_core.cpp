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

void ShiftletCore::PickSource(FilePicker& picker) {
  picker.Filter = messages::kSourceFilter;
  picker.InitDir = messages::kSourceFolder;
  picker.filename = messages::kSourceName;
  picker.DialogTitle = messages::kSourceTitle;
  picker.ShowOpen();
  record_.source = picker.filename;
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
  record_.destination = state_.DestinationPath;
  record_.configurationPath = ConfigurationPath();
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
    record_.destinationNamed = ConfigurationNamesDestination();
    return Ended(RunEnd::kKept);
  } catch (const std::exception& error) {
    return Report(Failed(error), messages::kFailure);
  } catch (...) {
    record_.failure = "unknown error";
    return Report(Ended(RunEnd::kFailed), messages::kFailure);
  }
  return Report(Ended(RunEnd::kSucceeded), messages::kSuccess);
}

RunEnd ShiftletCore::Failed(const std::exception& error) {
  record_.failure = error.what();
  if (const auto* failure = dynamic_cast<const ConversionFailure*>(&error)) {
    record_.failureCause = failure->WhatCaused();
  }
  return Ended(RunEnd::kFailed);
}

RunEnd ShiftletCore::Ended(RunEnd end) {
  // A failed read leaves lastIndex at the next free slot: the items before it are whole.
  const MenuTables& tables = *record_.tables;
  record_.items = oldFileRead_ ? tables.lastIndex + 1 : tables.lastIndex;
  record_.end = end;
  return end;
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
  MenuTables& tables = *record_.tables;
  ReadOldMenuFile(tables, platform_.Files(), picker.filename);
  oldFileRead_ = true;

  platform_.Boxes().ShowOk(messages::kSelectDestination);
  PickDestination(picker);
  // A file picked in an open-file dialog is never said to be replaced there: asked here, before
  // anything is written, and only when its bytes are not those of this conversion.
  const std::string question = ShownText(state_.DestinationPath, platform_.NameCodePage()) +
                               messages::kReplaceDiffers + "\n\n" + messages::kReplaceIt;
  const NewMenuFile written =
      WriteNewMenuFile(tables, platform_.Files(), state_.DestinationPath, [&](FirstWrite why) {
        if (why == FirstWrite::kReplacingOther && !platform_.Boxes().AskYesNoDefaultNo(question)) {
          throw NewFileKept();
        }
      });
  record_.newFileWhole = true;
  record_.newFileChanged = written.written;
  record_.newFileLines = written.lines;
  UpdateConfiguration();
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
  record_.configurationBefore = state_.ConfigName;
  record_.configurationAfter = state_.DestinationTitle;

  LineWriter writer(platform_.Files(), path, [&](FirstWrite) { KeepConfigurationBackup(path); });
  writer.WriteLine({state_.DestinationTitle});
  writer.WriteLine({state_.ConfigSecond});
  writer.WriteLine({state_.ConfigThird});
  record_.configurationChanged = writer.Close();
  record_.configurationFound = true;
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
  record_.configurationBackup = backup;
}

}  // namespace shiftlet
