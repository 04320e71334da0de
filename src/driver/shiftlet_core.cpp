#include "driver/shiftlet_core.h"

#include <memory>

#include "driver/messages.h"
#include "menu/menu_files.h"
#include "paths/path_text.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"
#include "textfile/line_writer.h"

namespace shiftlet {

int ExitStatusFor(RunEnd end) {
  switch (end) {
    case RunEnd::kSucceeded:
      return 0;
    case RunEnd::kFailed:
      return 1;
    case RunEnd::kDeclined:
      return 2;
  }
  return 1;
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
  picker.Filter = messages::kSourceFilter;
  picker.InitDir = messages::kSourceFolder;
  picker.filename = messages::kSourceName;
  picker.DialogTitle = messages::kSourceTitle;
  picker.ShowOpen();

  // From here on, whatever goes wrong ends in the one failure message.
  try {
    ConvertPickedFiles(picker);
  } catch (const ConversionFailure& error) {
    failureReason_ = error.what();
    failureCause_ = error.WhatCaused();
    return Report(RunEnd::kFailed, messages::kFailure);
  } catch (const std::exception& error) {
    failureReason_ = error.what();
    return Report(RunEnd::kFailed, messages::kFailure);
  } catch (...) {
    failureReason_ = "unknown error";
    return Report(RunEnd::kFailed, messages::kFailure);
  }
  return Report(RunEnd::kSucceeded, messages::kSuccess);
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

void ShiftletCore::ConvertPickedFiles(FilePicker& picker) {
  state_.SourceTitle = picker.FileTitle;
  ReadOldMenuFile(tables_, platform_.Files(), picker.filename);
  oldFileRead_ = true;

  platform_.Boxes().ShowOk(messages::kSelectDestination);
  picker.Filter = messages::kDestinationFilter;
  picker.InitDir = messages::kDestinationFolder;
  picker.filename = DefaultDestinationName(state_.SourceTitle, platform_.NameCodePage());
  picker.DialogTitle = messages::kDestinationTitle;
  picker.ShowOpen();
  state_.DestinationPath = picker.filename;
  state_.DestinationTitle = picker.FileTitle;

  fileSystem_ = platform_.CreateFileSystemObject();
  state_.DestinationFolder = fileSystem_->GetParentFolderName(state_.DestinationPath);
  WriteNewMenuFile(tables_, platform_.Files(), state_.DestinationPath);
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

void ShiftletCore::UpdateConfiguration() {
  const std::string path = ConfigurationPath();
  if (!fileSystem_) {
    fileSystem_ = platform_.CreateFileSystemObject();
  }
  if (!fileSystem_->FileExists(path)) {
    return;  // nothing is created where Velmora keeps no configuration
  }
  FieldReader reader(platform_.Files(), path);
  reader.ReadFields({&state_.ConfigName, &state_.ConfigSecond, &state_.ConfigThird});
  reader.Close();

  LineWriter writer(platform_.Files(), path);
  writer.WriteLine({state_.DestinationTitle});
  writer.WriteLine({state_.ConfigSecond});
  writer.WriteLine({state_.ConfigThird});
  writer.Close();
  configurationUpdated_ = true;
}

}  // namespace shiftlet
