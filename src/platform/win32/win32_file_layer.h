#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "paths/code_page.h"
#include "platform/win32/access_rights.h"
#include "platform/win32/file_holders.h"
#include "textfile/file_layer.h"
#include "textfile/in_use_wait.h"

namespace shiftlet {

// The calls of the file layer whose failures tests must show: those that move files in a replace
// (ReplaceFileA, MoveFileExA, and DeleteFileA of its backup), the opens and removals of files
// other programs may hold, the open that asks whether files may be created in a folder, and what
// waits for a file in use and names its holder. The system's file layer uses the real ones; tests
// put in their place calls that fail with the errors Windows documents, which nothing can make
// the real ones give on demand (least of all Wine, which grants that open whatever the Unix rights
// of the folder, and whose Restart Manager names nobody).
struct FileLayerCalls {
  // ReplaceFileA(replaced, replacement, backup, flags, nullptr, nullptr).
  std::function<BOOL(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags)> replaceFile =
      [](LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags) {
        return ReplaceFileA(replaced, replacement, backup, flags, nullptr, nullptr);
      };
  std::function<BOOL(LPCSTR existing, LPCSTR newName, DWORD flags)> moveFile =
      [](LPCSTR existing, LPCSTR newName, DWORD flags) {
        return MoveFileExA(existing, newName, flags);
      };
  // DeleteFileA: of a file the run removes, and of the backup once the new file is in place.
  std::function<BOOL(LPCSTR path)> deleteFile = [](LPCSTR path) { return DeleteFileA(path); };
  // CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, flags, nullptr): the opens of
  // existing files that another program may hold (reading, and asking whether a file may be
  // replaced); INVALID_HANDLE_VALUE with the error set.
  std::function<HANDLE(LPCSTR path, DWORD access, DWORD sharing, DWORD flags)> openExisting =
      [](LPCSTR path, DWORD access, DWORD sharing, DWORD flags) {
        return CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, flags, nullptr);
      };
  // Whether the file's access rights give the run `access` (RightsAllow): an access denied it
  // has the rights for is a moment to wait out.
  std::function<bool(LPCSTR path, LPCSTR folder, DWORD access)> rightsAllow = RightsAllow;
  // Who holds a file still in use after the wait.
  std::function<std::vector<FileHolder>(const std::string& path)> holdersOf =
      HoldersByRestartManager;
  // Waits between tries at a file in use.
  Sleeper sleep = [](std::chrono::milliseconds delay) { Sleep(static_cast<DWORD>(delay.count())); };
  // The folder opened with the right to add a file to it (a folder opens only with
  // FILE_FLAG_BACKUP_SEMANTICS), sharing everything; INVALID_HANDLE_VALUE with the error set.
  std::function<HANDLE(LPCSTR folder)> openFolderToAddFile = [](LPCSTR folder) {
    return CreateFileA(folder, FILE_ADD_FILE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  };
};

// The Win32 file layer, making the calls above through `calls` and reading paths by characters of
// `codePage`. It waits for no file in use until told how long (WaitForFilesInUse).
std::unique_ptr<FileLayer> MakeWin32FileLayer(FileLayerCalls calls, const CodePage& codePage);

}  // namespace shiftlet
