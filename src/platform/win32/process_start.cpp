#include "platform/process_start.h"

#include <windows.h>

namespace shiftlet {

namespace {

// Looks a call of kernel32.dll up at run time: one missing from an older Windows must not keep the
// program from starting there.
template <typename Call>
Call KernelCall(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
  // Through void (*)(), which GCC takes as "any function": FARPROC's type is not the call's.
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(found));
}

// Windows looks for a DLL in the program's folder before System32, so a DLL with a system name
// left beside shiftlet.exe (in a Downloads folder, say) would run elevated as soon as a box or a
// dialog loads it. The DLLs the programs import at start are KnownDLLs, which always come from
// System32 (the package step checks the import list); this covers those loaded later.
//
// Wine has no KnownDLLs and loads some of its DLLs from the program's folder whatever the program
// asks, so planting cannot be shown under Wine: the call is only known to leave the program
// working there.
void LoadDllsFromSystem32() {
  // SetDefaultDllDirectories is missing from Vista and from Windows 7 without KB2533623.
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  const auto set_default_directories =
      KernelCall<SetDefaultDllDirectoriesCall>("SetDefaultDllDirectories");
  if (set_default_directories != nullptr &&
      set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE) {
    return;
  }
  // Without it, at least take the current folder out of the search. A failure here is not worth
  // stopping for: the program still does its job, only without this narrowing, as every program
  // did before these calls existed.
  SetDllDirectoryA("");
}

// RedirectionGuard: the process no longer follows a junction or a symbolic link that a user who
// is no administrator made. An elevated run works in folders such users can change (C:\Velmora
// inherits Modify for Authenticated Users from the root of C:); with it, a junction planted there
// cannot send a read, a write or a removal to another folder. Windows 11 and an updated Windows 10
// 22H2 have it; older ones refuse the policy or lack the call, and the program goes on without
// it, as installers that turn it on do. The policy and its flag are spelt out here:
// headers for the oldest Windows supported leave them out.
constexpr int kProcessRedirectionTrustPolicy = 16;  // PROCESS_MITIGATION_POLICY
constexpr DWORD kEnforceRedirectionTrust = 1;       // PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY

void RefuseUntrustedRedirections() {
  using SetProcessMitigationPolicyCall = BOOL(WINAPI*)(int policy, PVOID buffer, SIZE_T length);
  const auto set_policy = KernelCall<SetProcessMitigationPolicyCall>("SetProcessMitigationPolicy");
  if (set_policy != nullptr) {
    DWORD flags = kEnforceRedirectionTrust;
    set_policy(kProcessRedirectionTrustPolicy, &flags, sizeof flags);
  }
}

}  // namespace

void PrepareProcess() {
  LoadDllsFromSystem32();
  RefuseUntrustedRedirections();
}

}  // namespace shiftlet
