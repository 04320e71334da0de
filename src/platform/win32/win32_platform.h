#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "driver/platform.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

// Real message boxes: caption "Shiftlet", no icon unless a warning, owned by no window.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  void ShowOk(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool AskYesNoDefaultNo(const std::string& text) override;
  bool AskRetryCancel(const std::string& text) override;
};

// The standard open-file dialog, owned by the hidden window "frmCD" that this picker creates and
// never shows. Throws std::runtime_error when that window cannot be created.
class Win32FilePicker final : public FilePicker {
 public:
  Win32FilePicker();
  ~Win32FilePicker() override;
  Win32FilePicker(const Win32FilePicker&) = delete;
  Win32FilePicker& operator=(const Win32FilePicker&) = delete;

  void ShowOpen() override;
  HWND Owner() const { return owner_; }

 private:
  HWND owner_;
};

// Paths as Windows writes them: '\' or '/' between folders, drive letters, characters of the
// system's code page.
class Win32FileSystemObject final : public FileSystemObject {
 public:
  explicit Win32FileSystemObject(CodePage codePage = SystemCodePage()) : codePage_(codePage) {}
  std::string GetParentFolderName(const std::string& path) override;
  bool FileExists(const std::string& path) override;

 private:
  CodePage codePage_;
};

// `path` made full as Windows does (GetFullPathNameA): a relative path is taken from `folder`, or
// from the current folder when `folder` is empty; a drive-relative one ("C:new.qnf") from that
// drive's current folder, a rooted one ("\\new.qnf") from the current drive. An empty `path`
// stays empty. Throws ConversionFailure when Windows cannot make it full.
std::string Win32FullPath(const std::string& folder, const std::string& path,
                          const CodePage& codePage);

class Win32Platform final : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  MessageBoxes& Boxes() override { return boxes_; }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return *files_; }
  char PathSeparator() const override { return '\\'; }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override;
  std::string FullPath(const std::string& path) override;
  const CodePage& NameCodePage() const override { return codePage_; }

 private:
  Win32MessageBoxes boxes_;
  std::unique_ptr<Win32FilePicker> picker_;
  CodePage codePage_ = SystemCodePage();  // before the file layer, which reads names by it
  std::unique_ptr<FileLayer> files_;
};

// The text of the box that reports an error stopping the program before it converts anything.
std::string StartupErrorText(const std::string& what);

}  // namespace shiftlet
