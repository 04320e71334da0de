#include "platform/process_start.h"

#include <windows.h>

namespace shiftlet {

// Windows looks for a DLL in the program's folder before System32, so a DLL with a system name
// left beside shiftlet.exe (in a Downloads folder, say) would run elevated as soon as a box or a
// dialog loads it. The DLLs the programs import at start are KnownDLLs, which always come from
// System32 (the package step checks the import list); this covers those loaded later.
//
// Wine has no KnownDLLs and loads some of its DLLs from the program's folder whatever the program
// asks, so planting cannot be shown under Wine: the call is only known to leave the program
// working there.
void PrepareProcess() {
  // SetDefaultDllDirectories is missing from Vista and from Windows 7 without KB2533623: looked up,
  // not imported, or the program would not start there.
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  // Through void (*)(), which GCC takes as "any function": FARPROC's type is not the call's.
  auto set_default_directories =
      reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void (*)()>(found));
  if (set_default_directories != nullptr &&
      set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE) {
    return;
  }
  // Without it, at least take the current folder out of the search. A failure here is not worth
  // stopping for: the program still does its job, only without this narrowing, as every program
  // did before these calls existed.
  SetDllDirectoryA("");
}

}  // namespace shiftlet
