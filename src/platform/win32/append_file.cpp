// Appending on Windows: a handle with FILE_APPEND_DATA and no FILE_WRITE_DATA can write only at
// the end of the file, and the file system puts each WriteFile there as the file is at that
// moment, whoever else appends.

#include "platform/append_file.h"

#include <windows.h>

#include <limits>
#include <stdexcept>
#include <string>

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
  const HANDLE handle =
      CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    throw std::runtime_error(SystemErrorText(GetLastError()));
  }
  return std::make_unique<Win32AppendFile>(handle);
}

}  // namespace shiftlet
