#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>

#include "driver/code_page.h"
#include "driver/platform.h"
#include "platform/console/console_file_picker.h"
#include "platform/console/console_message_boxes.h"

namespace shiftlet {

// The front-end for terminals: boxes and picker on standard input and output, the system's own
// files and paths.
// How the system a terminal is on writes paths. The defaults are POSIX's: '/', names in bytes, and
// ConsoleFileSystemObject; a Windows console passes its own.
struct ConsolePaths {
  char separator = '/';
  // Bytes: UTF-8 or a single-byte code page, in which no part of a character is a '/' or a '.'.
  CodePage codePage;
  // Makes the file-system object; null for ConsoleFileSystemObject.
  std::function<std::unique_ptr<FileSystemObject>()> makeFileSystem;
};

class ConsolePlatform final : public Platform {
 public:
  ConsolePlatform(std::istream& in, std::ostream& out, ConsolePaths paths = {});
  ~ConsolePlatform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return *files_; }
  char PathSeparator() const override { return paths_.separator; }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override;
  const CodePage& NameCodePage() const override { return paths_.codePage; }

 private:
  std::istream& in_;
  std::ostream& out_;
  ConsoleMessageBoxes boxes_;
  std::optional<ConsoleFilePicker> picker_;
  std::unique_ptr<FileLayer> files_;
  ConsolePaths paths_;
};

// The file-system object on a terminal: '/' separates folders, and a file is a regular file.
class ConsoleFileSystemObject final : public FileSystemObject {
 public:
  std::string GetParentFolderName(const std::string& path) override;
  bool FileExists(const std::string& path) override;
};

}  // namespace shiftlet
