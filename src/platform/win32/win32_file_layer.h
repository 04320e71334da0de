#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "paths/code_page.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// The calls that move files in a replace. The system's file layer uses ReplaceFileA and
// MoveFileExA; tests put in their place calls that fail with the errors Windows documents, which
// nothing can make the real ones give on demand (least of all under Wine).
struct ReplaceCalls {
  // ReplaceFileA(replaced, replacement, backup, flags, nullptr, nullptr).
  std::function<BOOL(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags)> replaceFile =
      [](LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags) {
        return ReplaceFileA(replaced, replacement, backup, flags, nullptr, nullptr);
      };
  std::function<BOOL(LPCSTR existing, LPCSTR newName, DWORD flags)> moveFile =
      [](LPCSTR existing, LPCSTR newName, DWORD flags) {
        return MoveFileExA(existing, newName, flags);
      };
  // DeleteFileA, of the backup once the new file is in place.
  std::function<BOOL(LPCSTR path)> deleteBackup = [](LPCSTR path) { return DeleteFileA(path); };
};

// The Win32 file layer, moving files through `calls` and reading paths by characters of
// `codePage`.
std::unique_ptr<FileLayer> MakeWin32FileLayer(ReplaceCalls calls, const CodePage& codePage);

}  // namespace shiftlet
