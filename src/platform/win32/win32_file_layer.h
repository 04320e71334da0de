#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "paths/code_page.h"
#include "platform/win32/entry_handle.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// The calls of the file layer whose failures tests must show: those that move files in a replace
// (ReplaceFileA, MoveFileExA), the removal of a file through the handle it was checked on, and the
// open that asks whether files may be created in a folder; and the one that says what an open
// entry is. The system's file layer uses the real ones; tests put in their place calls that fail
// with the errors Windows documents, which nothing can make the real ones give on demand (least of
// all Wine, which grants that open whatever the Unix rights of the folder, and makes no links).
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
  // goes is what was checked, whatever its name leads to by then.
  std::function<BOOL(HANDLE file)> deleteFile = [](HANDLE file) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
  };
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
// `codePage`.
std::unique_ptr<FileLayer> MakeWin32FileLayer(FileLayerCalls calls, const CodePage& codePage);

}  // namespace shiftlet
