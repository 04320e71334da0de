#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/platform.h"

namespace shiftlet::testing {

// A platform that plays the user from a script and writes down everything shown, in order:
//   "YesNo: <text>", "YesNo (No first): <text>", "RetryCancel: <text>", "Ok: <text>",
//   "Warning: <text>" (an OK box with a warning icon),
//   "Pick: <DialogTitle> [<Filter>] in <InitDir> proposing <filename>".
// Files are real, through the file layer given; paths are the system's own ('\' and drive letters
// on Windows, where the temporary folders are on C:).
class ScriptedPlatform final : public Platform {
 public:
  explicit ScriptedPlatform(FileLayer& files);
  ~ScriptedPlatform() override;

  MessageBoxes& Boxes() override;
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return files_; }
  char PathSeparator() const override;
  std::string ProposedPath(const std::string& initDir, const std::string& name) override;
  std::string FullPath(const std::string& path) override;
  const CodePage& NameCodePage() const override { return codePage; }

  std::deque<bool> answers;  // Yes (or Retry) / No (or Cancel); running dry is a test error
  std::deque<std::optional<std::string>> picks;  // full paths chosen; nullopt cancels
  bool pickerCannotBeCreated = false;
  std::string boxThatCannotBeShown;  // an OK box with this text throws, as a dead desktop would
  bool fileSystemCannotBeCreated = false;
  std::vector<std::string> transcript;
  CodePage codePage;  // single-byte unless a test says otherwise

 private:
  class ScriptedBoxes;
  class ScriptedPicker;
  FileLayer& files_;
  std::unique_ptr<ScriptedBoxes> boxes_;
  std::unique_ptr<ScriptedPicker> picker_;
};

}  // namespace shiftlet::testing
