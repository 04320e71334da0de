#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <ostream>

#include "driver/platform.h"
#include "platform/console/console_file_picker.h"
#include "platform/console/console_message_boxes.h"

namespace shiftlet {

// The front-end for terminals: boxes and picker on standard input and output, the system's own
// files, '/' as the separator.
class ConsolePlatform final : public Platform {
 public:
  ConsolePlatform(std::istream& in, std::ostream& out);
  ~ConsolePlatform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return *files_; }
  char PathSeparator() const override { return '/'; }
  // Bytes: UTF-8 or a single-byte code page, in which no part of a character is a '/' or a '.'.
  const CodePage& NameCodePage() const override { return codePage_; }

 private:
  std::istream& in_;
  std::ostream& out_;
  ConsoleMessageBoxes boxes_;
  std::optional<ConsoleFilePicker> picker_;
  std::unique_ptr<FileLayer> files_;
  CodePage codePage_;
};

// The file-system object on a terminal: '/' separates folders, and a file is a regular file.
class ConsoleFileSystemObject final : public FileSystemObject {
 public:
  std::string GetParentFolderName(const std::string& path) override;
  bool FileExists(const std::string& path) override;
};

}  // namespace shiftlet
