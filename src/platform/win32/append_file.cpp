// Appending on Windows: a handle with FILE_APPEND_DATA and no FILE_WRITE_DATA can write only at
// the end of the file, and the file system puts each WriteFile there as the file is at that
// moment, whoever else appends. An elevated run appends only to a log an administrator could
// have made.

#include "platform/append_file.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "paths/windows_device_names.h"
#include "platform/system_file_layer.h"
#include "platform/win32/entry_handle.h"
#include "platform/win32/log_owner.h"
#include "platform/win32/system_error_text.h"

namespace shiftlet {

namespace {

class Win32AppendFile final : public AppendFile {
 public:
  explicit Win32AppendFile(HANDLE handle) : handle_(handle) {}
  ~Win32AppendFile() override { CloseHandle(handle_); }
  Win32AppendFile(const Win32AppendFile&) = delete;
  Win32AppendFile& operator=(const Win32AppendFile&) = delete;

  bool AppendLine(std::string_view text) override {
    std::string line(text);
    line += "\r\n";
    if (line.size() > std::numeric_limits<DWORD>::max()) {
      return false;
    }
    const DWORD size = static_cast<DWORD>(line.size());
    DWORD put = 0;
    return WriteFile(handle_, line.data(), size, &put, nullptr) && put == size;
  }

 private:
  HANDLE handle_;
};

// Whether the log is on a share, whose owners are the file server's accounts (a PC's own account
// for a run as SYSTEM): what may write there is the share's to say.
bool OnAShare(const std::string& path) {
  const bool twoSeparators = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                             (path[1] == '\\' || path[1] == '/');
  if (twoSeparators) {
    const bool local = path.size() >= 6 && (path[2] == '?' || path[2] == '.') &&
                       (path[3] == '\\' || path[3] == '/') && path[5] == ':';
    return !local;
  }
  char root[MAX_PATH + 1] = {};
  return GetVolumePathNameA(path.c_str(), root, sizeof root) && GetDriveTypeA(root) == DRIVE_REMOTE;
}

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
  return OpenForAppending(path, LogOwnerCalls{});
}

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path, const LogOwnerCalls& calls) {
  // A log is a file on a disk, or NUL to throw it away. Any other device (CON, COM1, a device
  // path) is refused by its name before it is opened: opening some has effects of its own, and a
  // write to one may never end.
  const CodePage codePage = SystemCodePage();
  const bool null = NamesWindowsNullDevice(path, codePage);
  if (!null) {
    const std::string reason = WindowsDeviceReason(path, codePage);
    if (!reason.empty()) {
      throw std::runtime_error(reason);
    }
  }
  // Sharing reading and writing: a reader, or another run appending, never stops a run. The
  // entry itself is opened, never what a link there names, and a pipe reached by the name may
  // not act as this program.
  const HANDLE handle = CreateFileA(
      path.c_str(), FILE_APPEND_DATA | READ_CONTROL | SYNCHRONIZE,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | kNoPipeImpersonation, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw std::runtime_error(SystemErrorText(GetLastError()));
  }
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  auto file = std::make_unique<Win32AppendFile>(handle);
  // What was opened, whatever its name.
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK && !(null && type == FILE_TYPE_CHAR)) {
    throw std::runtime_error(type == FILE_TYPE_PIPE ? "it is a pipe, not a regular file"
                                                    : "it is a device, not a regular file");
  }
  if (type == FILE_TYPE_DISK) {
    FILE_ATTRIBUTE_TAG_INFO kind{};
    if (GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &kind, sizeof kind) &&
        (kind.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      throw std::runtime_error(
          "it is a link, not a regular file: a log is written to a file of "
          "its own");
    }
    if (existed && !OnAShare(path)) {
      const std::string reason = ForeignOwnerReason(handle, calls);
      if (!reason.empty()) {
        throw std::runtime_error(reason);
      }
    }
  }
  return file;
}

}  // namespace shiftlet
