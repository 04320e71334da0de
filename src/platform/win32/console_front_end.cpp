// The front-end of shiftlet-cli.exe, the console program for scripts: the terminal dialogue on the
// console, with Windows' own files and paths.

#include <iostream>
#include <utility>

#include "paths/path_text.h"
#include "platform/console/console_platform.h"
#include "platform/front_end.h"
#include "platform/win32/win32_platform.h"

namespace shiftlet {

namespace {

// Paths as shiftlet.exe has them: the pickers' folders are the fixed ones (C:\Velmora\ and
// C:\Program Files\Velmora\) whether they exist or not, never the current folder, and names are
// joined and made full by characters of the system's code page.
class Win32ConsolePaths final : public ConsolePaths {
 public:
  char Separator() const override { return '\\'; }
  const CodePage& NameCodePage() const override { return codePage_; }
  std::string ShownFolder(const std::string& initDir) override { return initDir; }
  std::string Resolve(const std::string& folder, const std::string& path) override {
    return Win32FullPath(folder, path, codePage_);
  }
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
    return std::make_unique<Win32FileSystemObject>(codePage_);
  }

 private:
  CodePage codePage_ = SystemCodePage();
};

}  // namespace

std::unique_ptr<Platform> MakeFrontEnd() {
  auto platform =
      std::make_unique<ConsolePlatform>(std::cin, std::cout, std::make_unique<Win32ConsolePaths>());
  // Until a run says how long it may wait, as long as one nobody watches.
  platform->Files().WaitForFilesInUse(InUseWait::Unattended());
  return platform;
}

}  // namespace shiftlet
