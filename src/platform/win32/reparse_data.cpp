#include "platform/win32/reparse_data.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace shiftlet {

namespace {

// The head of a symbolic link's reparse data (REPARSE_DATA_BUFFER of the driver kit's ntifs.h,
// which the user-mode headers leave out); its two names follow, in UTF-16, at offsets counted from
// the end of the head.
struct SymbolicLinkReparseHead {
  std::uint32_t tag;
  std::uint16_t dataLength;
  std::uint16_t reserved;
  std::uint16_t substituteNameOffset;
  std::uint16_t substituteNameLength;
  std::uint16_t printNameOffset;
  std::uint16_t printNameLength;
  std::uint32_t flags;
};
constexpr std::uint32_t kSymbolicLinkRelative = 1;  // SYMLINK_FLAG_RELATIVE

bool StartsWith(const std::wstring& text, std::wstring_view start) {
  return text.compare(0, start.size(), start) == 0;
}

// "C:" alone, or followed by a backslash.
bool StartsWithDriveRoot(const std::wstring& name) {
  const bool letter = name.size() >= 2 && ((name[0] >= L'A' && name[0] <= L'Z') ||
                                           (name[0] >= L'a' && name[0] <= L'z'));
  return letter && name[1] == L':' && (name.size() == 2 || name[2] == L'\\');
}

}  // namespace

LinkTarget SymbolicLinkTargetOf(std::string_view data) {
  SymbolicLinkReparseHead head{};
  if (data.size() < sizeof head) {
    return {};
  }
  std::memcpy(&head, data.data(), sizeof head);
  const std::size_t offset = head.substituteNameOffset;
  const std::size_t bytes = head.substituteNameLength;
  if (head.tag != IO_REPARSE_TAG_SYMLINK || bytes == 0 || bytes % sizeof(wchar_t) != 0 ||
      sizeof head + offset + bytes > data.size()) {
    return {};
  }
  std::wstring name(bytes / sizeof(wchar_t), L'\0');
  std::memcpy(name.data(), data.data() + sizeof head + offset, bytes);
  if ((head.flags & kSymbolicLinkRelative) != 0) {
    return name[0] == L'\\' ? LinkTarget{} : LinkTarget{name, true};
  }
  constexpr std::wstring_view kLocal = L"\\??\\";
  constexpr std::wstring_view kShare = L"\\??\\UNC\\";
  if (StartsWith(name, kShare) && name.size() > kShare.size()) {
    return {L"\\\\" + name.substr(kShare.size()), false};
  }
  if (StartsWith(name, kLocal) && StartsWithDriveRoot(name.substr(kLocal.size()))) {
    return {name.substr(kLocal.size()), false};
  }
  return {};
}

}  // namespace shiftlet
