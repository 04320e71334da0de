// Asks a file's access rights what Windows would grant the program's own token, without opening
// the file for that access: an open refused for another reason (a file pending deletion, a
// scanner's hold) then shows as a moment to wait out, not as rights the run lacks.

#include "platform/win32/access_rights.h"

#include <vector>

namespace shiftlet {

namespace {

// Closes a handle when it goes.
class Handle {
 public:
  Handle() = default;
  ~Handle() {
    if (handle_ != nullptr) {
      CloseHandle(handle_);
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE* Address() { return &handle_; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

bool Grants(const char* path, HANDLE token, DWORD access) {
  constexpr SECURITY_INFORMATION kWhat =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityA(path, kWhat, nullptr, 0, &needed);
  if (needed == 0) {
    return false;
  }
  std::vector<BYTE> descriptor(needed);
  if (!GetFileSecurityA(path, kWhat, descriptor.data(), needed, &needed)) {
    return false;
  }
  GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                          FILE_ALL_ACCESS};
  MapGenericMask(&access, &mapping);
  PRIVILEGE_SET privileges{};
  DWORD privilegesSize = sizeof privileges;
  DWORD granted = 0;
  BOOL allowed = FALSE;
  return AccessCheck(descriptor.data(), token, access, &mapping, &privileges, &privilegesSize,
                     &granted, &allowed) &&
         allowed;
}

}  // namespace

bool RightsAllow(const char* path, const char* folder, DWORD access) {
  // AccessCheck takes an impersonation token: the process's own, duplicated.
  Handle processToken;
  Handle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY,
                        processToken.Address()) ||
      !DuplicateToken(processToken.Get(), SecurityImpersonation, token.Address())) {
    return false;
  }
  const DWORD besidesDelete = access & ~static_cast<DWORD>(DELETE);
  if (besidesDelete != 0 && !Grants(path, token.Get(), besidesDelete)) {
    return false;
  }
  return (access & DELETE) == 0 || Grants(path, token.Get(), DELETE) ||
         Grants(folder, token.Get(), FILE_DELETE_CHILD);
}

}  // namespace shiftlet
