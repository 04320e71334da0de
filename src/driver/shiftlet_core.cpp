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

// Thrown when the user cancels rather than close a program holding a file: the run ends as a
// declined question ends it, with what was complete kept.
struct FileInUseCancelled {};

// How many links a path is followed through before it is taken as it is, as systems stop at a
// loop.
constexpr int kLinksFollowed = 40;

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
  RefuseConfigurationAsDestination();
}

void ShiftletCore::RefuseConfigurationAsDestination() {
  const std::string& destination = state_.DestinationPath;
  const std::string destinationKey = FileKey(destination);
  if (destinationKey == FileKey(ConfigurationPath())) {
    throw ConversionFailure("the new menu file cannot be " + destination + ": it is " +
                            messages::kConfigurationName + ", Velmora's configuration");
  }
  if (destinationKey == FileKey(ConfigurationBackupPath())) {
    throw ConversionFailure("the new menu file cannot be " + destination + ": it is " +
                            messages::kConfigurationName + messages::kConfigurationBackupSuffix +
                            ", where " + messages::kConfigurationName +
                            " is kept as it was before its conversion");
  }
  RefuseLink(ConfigurationPath());
}

void ShiftletCore::RefuseLink(const std::string& path) {
  // Whoever could make the link chose the file a run elevated above them would copy and rewrite.
  if (platform_.Files().IsLink(path)) {
    throw ConversionFailure(path + " is a link to another file, and Shiftlet does not rewrite a " +
                            "configuration that lives elsewhere; nothing was changed");
  }
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
    try {
      KeepDifferingNewFile();
    } catch (const std::exception& error) {
      return Report(Failed(error), messages::kFailure);
    }
    return Ended(RunEnd::kKept);
  } catch (const FileInUseCancelled&) {
    return Ended(RunEnd::kDeclined);
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
  const std::string source = picker.filename;
  RetryWhileHeld([&] { ReadOldMenuFile(tables, platform_.Files(), source); });
  oldFileRead_ = true;

  platform_.Boxes().ShowOk(messages::kSelectDestination);
  PickDestination(picker);
  // A file picked in an open-file dialog is never said to be replaced there: asked here, before it
  // is replaced, and only when its bytes are not those of this conversion.
  const std::string question = ShownText(state_.DestinationPath, platform_.NameCodePage()) +
                               messages::kReplaceDiffers + "\n\n" + messages::kReplaceIt;
  MessageBoxes& boxes = platform_.Boxes();
  bool replaceConfirmed = false;  // asked once, however often a file in use is tried again
  const auto replaceOrKeep = [&] {
    if (!replaceConfirmed && !boxes.AskYesNoDefaultNo(question)) {
      throw NewFileKept();
    }
    replaceConfirmed = true;
  };
  if (FileKey(record_.source) == FileKey(state_.DestinationPath)) {
    record_.kept = RunRecord::Kept::kOldFile;
  }
  // Someone who is asked is asked once the conversion is whole, so that a Yes replaces the file
  // with a conversion known to be complete, and a conversion that fails asks nothing. Boxes that
  // answer by themselves answer at the first byte that differs, before the rest is converted.
  RetryWhileHeld([&] {
    bool askBeforeReplacing = false;
    const NewMenuFile written = WriteNewMenuFile(
        tables, platform_.Files(), state_.DestinationPath,
        [&](FirstWrite why) {
          if (why == FirstWrite::kReplacingOther) {
            if (boxes.AnswersByItself()) {
              replaceOrKeep();
            } else {
              askBeforeReplacing = true;
            }
          }
        },
        [&] {
          if (askBeforeReplacing) {
            replaceOrKeep();
          }
        });
    record_.newFileWhole = true;
    record_.newFileChanged = record_.newFileChanged || written.written;
    record_.newFileLines = written.lines;
    UpdateConfiguration();
  });
}

void ShiftletCore::RetryWhileHeld(const std::function<void()>& step) {
  MessageBoxes& boxes = platform_.Boxes();
  for (;;) {
    try {
      step();
      return;
    } catch (const ConversionFailure& failure) {
      if (failure.WhatCaused() != ConversionFailure::Cause::kInUse || boxes.AnswersByItself()) {
        throw;
      }
      if (!boxes.AskRetryCancel(ShownText(failure.Reason(), platform_.NameCodePage()) +
                                messages::kCloseAndRetry)) {
        throw FileInUseCancelled();
      }
    }
  }
}

std::string ShiftletCore::ConfigurationPath() const {
  return JoinPath(state_.DestinationFolder, platform_.PathSeparator(), messages::kConfigurationName,
                  platform_.NameCodePage());
}

std::string ShiftletCore::ConfigurationBackupPath() const {
  return ConfigurationPath() + messages::kConfigurationBackupSuffix;
}

std::string ShiftletCore::FileKey(const std::string& path) {
  FileLayer& files = platform_.Files();
  std::string reached = path;
  for (int link = 0; link < kLinksFollowed; ++link) {
    std::string next = files.LinkedPath(reached);
    if (next.empty()) {
      break;
    }
    reached = std::move(next);
  }
  return files.EntryKey(reached);
}

bool ShiftletCore::NamesDestination(const std::string& name) {
  const std::string named =
      JoinPath(state_.DestinationFolder, platform_.PathSeparator(), name, platform_.NameCodePage());
  return FileKey(named) == FileKey(state_.DestinationPath);
}

void ShiftletCore::KeepDifferingNewFile() {
  if (record_.kept == RunRecord::Kept::kOldFile) {
    return;
  }
  if (ConfigurationNamesDestination()) {
    record_.kept = RunRecord::Kept::kNamed;
  } else if (!FileSystem().FileExists(ConfigurationPath())) {
    record_.kept = RunRecord::Kept::kNoConfiguration;
  } else if (FileSystem().FileExists(ConfigurationBackupPath())) {
    // This program's own conversion, changed since and kept by an undo: Velmora 1.1 uses it again.
    UpdateConfiguration();
    record_.kept = RunRecord::Kept::kNamedAgain;
  }
}

std::string ShiftletCore::DestinationName() {
  const std::string listed = platform_.Files().ListedName(state_.DestinationPath);
  return listed.empty() ? state_.DestinationTitle : listed;
}

void ShiftletCore::WriteConfigurationLines(LineWriter& writer, const std::string& first,
                                           const std::string& second, const std::string& third) {
  const std::string what = std::string("a field of ") + messages::kConfigurationName;
  for (const std::string* field : {&first, &second, &third}) {
    writer.WriteLine({RereadableField(*field, what)});
  }
}

bool ShiftletCore::ConfigurationHolds(const std::string& first, const std::string& second,
                                      const std::string& third) {
  for (const std::string* field : {&first, &second, &third}) {
    if (!Rereadable(*field)) {
      return false;  // no conversion writes such a field
    }
  }
  return HoldsAlready([&](const BeforeFirstWrite& differs) {
    LineWriter writer(platform_.Files(), ConfigurationPath(), differs);
    WriteConfigurationLines(writer, first, second, third);
    writer.Close();
  });
}

bool ShiftletCore::HoldsAlready(const std::function<void(const BeforeFirstWrite&)>& write) {
  // Thrown at the first byte that differs, before anything is created.
  struct Differs {};
  try {
    write([](FirstWrite) { throw Differs(); });
  } catch (const Differs&) {
    return false;
  }
  return true;
}

bool ShiftletCore::ConfigurationNamesDestination() {
  try {
    const std::string path = ConfigurationPath();
    if (!FileSystem().FileExists(path)) {
      return false;
    }
    FieldReader reader(platform_.Files(), path);
    std::string first;
    reader.ReadFields({&first});
    return NamesDestination(first);
  } catch (const ConversionFailure& failure) {
    if (failure.WhatCaused() == ConversionFailure::Cause::kInUse) {
      throw;  // held a moment: nobody can tell yet what it names
    }
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
  if (NamesDestination(state_.ConfigName)) {
    // Velmora 1.1's own again: no byte of it changes, and no backup is taken of it.
    record_.configurationAfter = state_.ConfigName;
    record_.configurationFound = true;
    return;
  }
  record_.configurationAfter = DestinationName();

  LineWriter writer(platform_.Files(), path, [&](FirstWrite) { KeepConfigurationBackup(path); });
  WriteConfigurationLines(writer, record_.configurationAfter, state_.ConfigSecond,
                          state_.ConfigThird);
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
