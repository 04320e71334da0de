#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <ostream>

#include "driver/platform.h"
#include "paths/code_page.h"
#include "platform/console/console_file_picker.h"
#include "platform/console/console_message_boxes.h"
#include "platform/console/console_paths.h"

namespace shiftlet {

// The front-end for terminals: boxes and picker on standard input and output, the system's own
// files, and paths by `paths` (POSIX's unless a Windows console passes its own).
class ConsolePlatform final : public Platform {
 public:
  ConsolePlatform(std::istream& in, std::ostream& out,
                  std::unique_ptr<ConsolePaths> paths = std::make_unique<PosixConsolePaths>());
  ~ConsolePlatform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return *files_; }
  char PathSeparator() const override { return paths_->Separator(); }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override;
  std::string FullPath(const std::string& path) override;
  const CodePage& NameCodePage() const override { return paths_->NameCodePage(); }

 private:
  std::istream& in_;
  std::ostream& out_;
  ConsoleMessageBoxes boxes_;
  std::unique_ptr<ConsolePaths> paths_;
  std::optional<ConsoleFilePicker> picker_;
  std::unique_ptr<FileLayer> files_;
};

// The file-system object on a terminal: '/' separates folders, and a file is anything but a
// folder (a device, a pipe or a socket too, which reading then refuses with what it is).
class ConsoleFileSystemObject final : public FileSystemObject {
 public:
  explicit ConsoleFileSystemObject(const CodePage& codePage) : codePage_(codePage) {}
  std::string GetParentFolderName(const std::string& path) override;
  bool FileExists(const std::string& path) override;

 private:
  CodePage codePage_;
};

}  // namespace shiftlet
