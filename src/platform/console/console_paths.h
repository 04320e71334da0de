#pragma once

#include <memory>
#include <string>

#include "driver/file_system_object.h"
#include "paths/code_page.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

// How the system a terminal is on writes and resolves paths: the one place the terminal front-end
// asks, so that a Windows console follows Windows' rules and never passes its ANSI names through
// std::filesystem (which mingw reads as Latin-1).
class ConsolePaths {
 public:
  virtual ~ConsolePaths() = default;

  // The separator placed between a folder and a name.
  virtual char Separator() const = 0;
  // Where the characters of names begin.
  virtual const CodePage& NameCodePage() const = 0;
  // The folder a picker shows for its InitDir.
  virtual std::string ShownFolder(const std::string& initDir) = 0;
  // `path` made full: taken from `folder` when it is relative, from the current folder when
  // `folder` is empty. An empty `path` stays empty. Throws ConversionFailure when the system
  // cannot make it full.
  virtual std::string Resolve(const std::string& folder, const std::string& path) = 0;
  virtual std::unique_ptr<FileSystemObject> CreateFileSystemObject() = 0;
};

// POSIX paths: '/', names by characters of the locale's character set (UTF-8, or one byte each,
// in which no part of a character is a '/' or a '.'). A picker shows InitDir where that folder
// exists on this system, else the current folder, so the terminal build works in the folder it is
// started in.
class PosixConsolePaths final : public ConsolePaths {
 public:
  char Separator() const override { return '/'; }
  const CodePage& NameCodePage() const override { return codePage_; }
  std::string ShownFolder(const std::string& initDir) override;
  std::string Resolve(const std::string& folder, const std::string& path) override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;

 private:
  CodePage codePage_ = SystemCodePage();
};

}  // namespace shiftlet
