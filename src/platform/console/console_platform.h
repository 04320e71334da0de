#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>

#include "driver/platform.h"
#include "platform/console/console_file_picker.h"
#include "platform/console/console_message_boxes.h"

namespace shiftlet {

// The front-end for terminals: boxes and picker on standard input and output, the system's own
// files and paths.
class ConsolePlatform final : public Platform {
 public:
  // Makes the file-system object of the system the terminal is on.
  using FileSystemMaker = std::function<std::unique_ptr<FileSystemObject>()>;

  // On POSIX: '/' and ConsoleFileSystemObject. A Windows console passes its own.
  ConsolePlatform(std::istream& in, std::ostream& out, char separator = '/',
                  FileSystemMaker makeFileSystem = nullptr);
  ~ConsolePlatform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return *files_; }
  char PathSeparator() const override { return separator_; }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  ConsoleMessageBoxes boxes_;
  std::optional<ConsoleFilePicker> picker_;
  std::unique_ptr<FileLayer> files_;
  char separator_;
  FileSystemMaker makeFileSystem_;
};

// The file-system object on a terminal: '/' separates folders, and a file is a regular file.
class ConsoleFileSystemObject final : public FileSystemObject {
 public:
  std::string GetParentFolderName(const std::string& path) override;
  bool FileExists(const std::string& path) override;
};

}  // namespace shiftlet
