#include "platform/win32/log_owner.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace shiftlet {

namespace {

// Administrators and SYSTEM: whoever may write C:\Windows\Logs.
constexpr const char* kAdministrators = "S-1-5-32-544";
constexpr const char* kSystem = "S-1-5-18";

std::string SidText(PSID sid) {
  LPSTR text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidA(sid, &text)) {
    return "";
  }
  std::string sidText = text;
  LocalFree(text);
  return sidText;
}

// "DOMAIN\name (S-1-...)", or the SID alone when it names no account this machine knows.
std::string ShownOwner(const std::string& sidText) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidA(sidText.c_str(), &sid)) {
    return sidText;
  }
  char name[256];
  char domain[256];
  DWORD nameSize = sizeof name;
  DWORD domainSize = sizeof domain;
  SID_NAME_USE use{};
  const BOOL known = LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use);
  LocalFree(sid);
  if (!known) {
    return sidText;
  }
  return (domainSize > 0 ? std::string(domain) + "\\" : "") + name + " (" + sidText + ")";
}

}  // namespace

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return true;
  }
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const BOOL known =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return !known || elevation.TokenIsElevated != 0;
}

std::string OwnerOf(HANDLE file) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                      nullptr, &descriptor) != ERROR_SUCCESS) {
    return "";
  }
  std::string text = SidText(owner);
  LocalFree(descriptor);
  return text;
}

std::string RunnerSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return "";
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<char> user(size > 0 ? size : 1);
  const BOOL known = GetTokenInformation(token, TokenUser, user.data(), size, &size);
  CloseHandle(token);
  return known ? SidText(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) : "";
}

std::string ForeignOwnerReason(HANDLE file, const LogOwnerCalls& calls) {
  if (!calls.runsElevated()) {
    return "";
  }
  const std::string owner = calls.ownerOf(file);
  if (owner == kAdministrators || owner == kSystem || (!owner.empty() && owner == calls.runner())) {
    return "";
  }
  return "it is owned by " +
         (owner.empty() ? std::string("an account the system does not name") : ShownOwner(owner)) +
         ", not by the Administrators group, SYSTEM or the user running this program: its owner "
         "could read and change what this elevated run logs; remove it, or log where only "
         "administrators write";
}

}  // namespace shiftlet
