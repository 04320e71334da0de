#pragma once

#include <memory>
#include <string>

#include "driver/file_picker.h"
#include "driver/file_system_object.h"
#include "driver/message_boxes.h"
#include "paths/code_page.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// Everything the driver needs from the system it runs on. One implementation per front-end
// (src/platform/); the driver itself knows nothing of terminals or windows.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual MessageBoxes& Boxes() = 0;
  // The picker, created on first use; the same one serves both choices. Throws
  // std::runtime_error when it cannot be created.
  virtual FilePicker& Picker() = 0;
  // A new file-system object. Throws std::runtime_error when it cannot be created.
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject() = 0;
  virtual FileLayer& Files() = 0;
  // The separator placed between a folder and a file name in the configuration path.
  virtual char PathSeparator() const = 0;
  // The full path a user gets by accepting the picker's proposal of `name` in `initDir`, as this
  // front-end's picker would show it. Unattended runs take it without asking.
  virtual std::string ProposedPath(const std::string& initDir, const std::string& name) = 0;
  // `path` made full by this system's rules: a relative path is taken from the current folder
  // (on Windows a drive-relative "C:new.qnf" from that drive's current folder). Throws
  // ConversionFailure when the system cannot make it full.
  virtual std::string FullPath(const std::string& path) = 0;
  // Where the characters of file and folder names begin: the system's 8-bit code page.
  virtual const CodePage& NameCodePage() const = 0;
};

// A platform made over another (the system's): every call goes to that one, except those a class
// made from this one answers itself. The front-ends that change one thing of the system's (boxes
// and pickers that answer by themselves, writes kept in memory, a proposed source) are such.
class PlatformOver : public Platform {
 public:
  explicit PlatformOver(Platform& system) : system_(system) {}

  MessageBoxes& Boxes() override { return system_.Boxes(); }
  FilePicker& Picker() override { return system_.Picker(); }
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
    return system_.CreateFileSystemObject();
  }
  FileLayer& Files() override { return system_.Files(); }
  char PathSeparator() const override { return system_.PathSeparator(); }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override {
    return system_.ProposedPath(initDir, name);
  }
  std::string FullPath(const std::string& path) override { return system_.FullPath(path); }
  const CodePage& NameCodePage() const override { return system_.NameCodePage(); }

 protected:
  Platform& system_;
};

}  // namespace shiftlet
