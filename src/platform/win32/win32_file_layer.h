#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "paths/code_page.h"
#include "platform/win32/access_rights.h"
#include "platform/win32/entry_handle.h"
#include "platform/win32/file_holders.h"
#include "textfile/file_layer.h"
#include "textfile/in_use_wait.h"

namespace shiftlet {

// The calls of the file layer whose failures tests must show: those that move files in a replace
// (ReplaceFileA, MoveFileExA), the removal of a file through the handle it was checked on, the
// opens of files other programs may hold, the open that asks whether files may be created in a
// folder, the one that says what an open entry is, and what waits for a file in use and names its
// holder. The system's file layer uses the real ones; tests put in their place calls that fail
// with the errors Windows documents, which nothing can make the real ones give on demand (least of
// all Wine, which grants that open whatever the Unix rights of the folder, makes no links, and
// whose Restart Manager names nobody).
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
  // Removes the file open as `file` (opened with DELETE): a replaced file's backup, the name
  // reserved for it, a file the undo removes. Through the handle it was checked on, so that what
  // goes is what was checked, whatever its name leads to by then. A file another program holds
  // is opened and removed again, on a new handle checked anew.
  std::function<BOOL(HANDLE file)> deleteFile = [](HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
  };
  // CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING, flags, nullptr): the opens of
  // existing files that another program may hold (reading, and asking whether a file may be
  // replaced); INVALID_HANDLE_VALUE with the error set. A pipe's server met there never acts as
  // the run, whatever flags it is given.
  std::function<HANDLE(LPCSTR path, DWORD access, DWORD sharing, DWORD flags)> openExisting =
      [](LPCSTR path, DWORD access, DWORD sharing, DWORD flags) {
        return CreateFileA(path, access, sharing, nullptr, OPEN_EXISTING,
                           flags | kNoPipeImpersonation, nullptr);
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
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | kNoPipeImpersonation, nullptr);
  };
  // What the entry open as `entry` is: its attributes and reparse tag.
  std::function<BOOL(HANDLE entry, FILE_ATTRIBUTE_TAG_INFO& kind)> readKind =
      [](HANDLE entry, FILE_ATTRIBUTE_TAG_INFO& kind) {
        return GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &kind, sizeof kind);
      };
};

// The Win32 file layer, making the calls above through `calls` and reading paths by characters of
// `codePage`. It waits for no file in use until told how long (WaitForFilesInUse).
std::unique_ptr<FileLayer> MakeWin32FileLayer(FileLayerCalls calls, const CodePage& codePage);

}  // namespace shiftlet
