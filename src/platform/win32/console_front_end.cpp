// The front-end of shiftlet-cli.exe, the console program for scripts: the terminal dialogue on the
// console, with Windows' own files and paths.

#include <iostream>
#include <utility>

#include "platform/console/console_platform.h"
#include "platform/front_end.h"
#include "platform/win32/win32_platform.h"

namespace shiftlet {

std::unique_ptr<Platform> MakeFrontEnd() {
  ConsolePaths paths;
  paths.separator = '\\';
  paths.codePage = ActiveCodePage();
  paths.makeFileSystem = [] { return std::make_unique<Win32FileSystemObject>(); };
  return std::make_unique<ConsolePlatform>(std::cin, std::cout, std::move(paths));
}

}  // namespace shiftlet
