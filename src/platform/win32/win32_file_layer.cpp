// Files on Windows, through the Win32 calls themselves (their ANSI forms, so paths are bytes in
// the system's code page, as everywhere else in the program): binary I/O, exclusive creation,
// a flush before the rename, and a rename that replaces the target and is written through.

#include <windows.h>

#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "platform/system_file_layer.h"
#include "platform/win32/system_error_text.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path, DWORD error) {
  throw ConversionFailure(std::string(what) + " " + path + ": " + SystemErrorText(error));
}

// Attributes a replaced file keeps. Read-only is not among them: a read-only target is refused.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

class Win32File final : public OpenFile {
 public:
  Win32File(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }

  std::uint64_t SizeHint() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size) || size.QuadPart < 0) {
      return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  std::size_t Read(char* buffer, std::size_t size) override {
    const DWORD wanted = static_cast<DWORD>(
        size < std::numeric_limits<DWORD>::max() ? size : std::numeric_limits<DWORD>::max());
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, wanted, &got, nullptr)) {
      Fail("cannot read", path_, GetLastError());
    }
    return got;
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(
          size < std::numeric_limits<DWORD>::max() ? size : std::numeric_limits<DWORD>::max());
      DWORD put = 0;
      if (!WriteFile(handle_, data, chunk, &put, nullptr)) {
        Fail("cannot write", path_, GetLastError());
      }
      if (put == 0) {
        Fail("cannot write", path_, ERROR_WRITE_FAULT);
      }
      data += put;
      size -= put;
    }
  }

  void Flush() override {
    if (!FlushFileBuffers(handle_)) {
      Fail("cannot flush", path_, GetLastError());
    }
  }

  void Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) {
      Fail("cannot close", path_, GetLastError());
    }
  }

 private:
  HANDLE handle_;
  std::string path_;
};

// The folder a missing file would be created in, from the text: "C:\a" for "C:\a\x.qnf", "C:\"
// for "C:\x.qnf", "C:" (that drive's current folder) for "C:x.qnf", "." for "x.qnf".
std::string FolderOf(const std::string& path) {
  const std::size_t last = path.find_last_of("\\/");
  const bool hasDrive = path.size() >= 2 && path[1] == ':';
  if (last == std::string::npos) {
    return hasDrive ? path.substr(0, 2) : ".";
  }
  const bool isRoot = last == 0 || (hasDrive && last == 2);
  return path.substr(0, isRoot ? last + 1 : last);
}

class Win32FileLayer final : public FileLayer {
 public:
  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override {
    // A folder cannot be opened this way (that needs FILE_FLAG_BACKUP_SEMANTICS), so it fails here.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      Fail("cannot open", path, GetLastError());
    }
    return std::make_unique<Win32File>(handle, path);
  }

  void CheckWritableInPlace(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) {
        Fail("cannot write", path, error);
      }
      // A missing file is created in its folder, which must exist.
      const DWORD folder = GetFileAttributesA(FolderOf(path).c_str());
      if (folder == INVALID_FILE_ATTRIBUTES) {
        Fail("cannot write", path, GetLastError());
      }
      if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        Fail("cannot write", path, ERROR_PATH_NOT_FOUND);
      }
      return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      Fail("cannot write", path, ERROR_ACCESS_DENIED);  // what opening a folder gives
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      Fail("cannot write", path, ERROR_ACCESS_DENIED);
    }
    // Opening for writing without truncating changes nothing and asks the real question (access
    // rights, another program holding the file).
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      Fail("cannot write", path, GetLastError());
    }
    CloseHandle(handle);
  }

  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        return nullptr;
      }
      Fail("cannot create", path, error);
    }
    return std::make_unique<Win32File>(handle, path);
  }

  void Replace(const std::string& source, const std::string& target) override {
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        Fail("cannot replace", target, ERROR_ACCESS_DENIED);
      }
      // The new file takes the place of the old one, attributes and all (hidden, archive...).
      const DWORD kept = attributes & kKeptAttributes;
      if (!SetFileAttributesA(source.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL)) {
        Fail("cannot set the attributes of", source, GetLastError());
      }
    }
    // A rename within the folder: atomic, and written through before it returns.
    if (!MoveFileExA(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fail("cannot replace", target, GetLastError());
    }
  }

  void RemoveQuietly(const std::string& path) noexcept override { DeleteFileA(path.c_str()); }
};

}  // namespace

std::unique_ptr<FileLayer> MakeSystemFileLayer() {
  return std::make_unique<Win32FileLayer>();
}

}  // namespace shiftlet
