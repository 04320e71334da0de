#include "platform/win32/entry_handle.h"

namespace shiftlet {

UniqueHandle OpenEntry(const std::string& path, DWORD access) {
  return UniqueHandle(CreateFileA(
      path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING,
      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | kNoPipeImpersonation, nullptr));
}

std::string FileIdentity::Text() const {
  return std::to_string(volume) + ":" + std::to_string(high) + ":" + std::to_string(low);
}

bool ReadFileFacts(HANDLE file, FileFacts& facts) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) {
    return false;
  }
  facts.identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  facts.attributes = info.dwFileAttributes;
  facts.creation = info.ftCreationTime;
  facts.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

}  // namespace shiftlet
