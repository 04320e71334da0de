// Appending on Windows: a handle with FILE_APPEND_DATA and no FILE_WRITE_DATA can write only at
// the end of the file, and the file system puts each WriteFile there as the file is at that
// moment, whoever else appends.

#include "platform/append_file.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "paths/windows_device_names.h"
#include "platform/system_file_layer.h"
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

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
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
  const HANDLE handle =
      CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw std::runtime_error(SystemErrorText(GetLastError()));
  }
  auto file = std::make_unique<Win32AppendFile>(handle);
  // What was opened, whatever its name.
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK && !(null && type == FILE_TYPE_CHAR)) {
    throw std::runtime_error(type == FILE_TYPE_PIPE ? "it is a pipe, not a regular file"
                                                    : "it is a device, not a regular file");
  }
  return file;
}

}  // namespace shiftlet
