#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

namespace shiftlet {

// For every open of a name that may lead to a named pipe (a link can lead anywhere): the pipe's
// server may learn who opened it, never act as it. An elevated run's rights stay its own.
inline constexpr DWORD kNoPipeImpersonation = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

// A handle closed when it goes, or the error that kept it from opening.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Takes `handle`; when it is INVALID_HANDLE_VALUE, takes GetLastError() as the reason.
  explicit UniqueHandle(HANDLE handle)
      : handle_(handle), error_(handle == INVALID_HANDLE_VALUE ? GetLastError() : 0) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)), error_(other.error_) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
      error_ = other.error_;
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // Why it did not open (0 when it did, or nothing was tried).
  DWORD Error() const { return error_; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
};

// The directory entry `path` names, itself: a link or any other reparse point itself, never what
// it leads to, and a folder too, opened with `access` and sharing everything.
UniqueHandle OpenEntry(const std::string& path, DWORD access);

// Which file an open handle is: the volume and the file index every name of it shares.
struct FileIdentity {
  DWORD volume = 0;
  DWORD high = 0;
  DWORD low = 0;
  bool operator==(const FileIdentity&) const = default;
  std::string Text() const;
};

// What GetFileInformationByHandle says of an open file; false with GetLastError() set when it
// says nothing.
struct FileFacts {
  FileIdentity identity;
  DWORD attributes = 0;
  FILETIME creation{};
  std::uint64_t size = 0;
};
bool ReadFileFacts(HANDLE file, FileFacts& facts);

}  // namespace shiftlet
