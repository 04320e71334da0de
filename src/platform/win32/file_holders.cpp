// Who holds a file, through the Restart Manager (Vista and later), as Windows Installer's
// files-in-use dialog asks it.

#include "platform/win32/file_holders.h"

#include <restartmanager.h>

#include <string>
#include <vector>

namespace shiftlet {

namespace {

// Through void (*)(), which GCC takes as "any function": FARPROC's type is not the call's.
template <typename Call>
Call Find(HMODULE module, const char* name) {
  return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Not imported: the programs import KnownDLLs only, which Windows never takes from the program's
// folder. Windows without KB2533623 (Vista, an unpatched 7) knows no LOAD_LIBRARY_SEARCH_SYSTEM32;
// there the DLL is named by its full path in System32.
HMODULE LoadRestartManager() {
  if (const HMODULE module =
          LoadLibraryExW(L"rstrtmgr.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  const std::wstring path = std::wstring(folder, length) + L"\\rstrtmgr.dll";
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::wstring Widened(const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (wide <= 0) {
    return L"";
  }
  std::wstring result(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, result.data(), wide);
  return result;
}

std::string Narrowed(const wchar_t* text) {
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) {
    return "";
  }
  std::string result(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), bytes, nullptr, nullptr);
  result.pop_back();  // the terminating NUL
  return result;
}

// The session's list, asked again while it grows between the calls (ERROR_MORE_DATA), a few
// times at most.
std::vector<FileHolder> Listed(decltype(&RmGetList) getList, DWORD session) {
  std::vector<RM_PROCESS_INFO> found;
  for (int round = 0; round < 8; ++round) {
    UINT needed = 0;
    UINT count = static_cast<UINT>(found.size());
    DWORD reasons = 0;
    const DWORD result =
        getList(session, &needed, &count, found.empty() ? nullptr : found.data(), &reasons);
    if (result == ERROR_SUCCESS) {
      std::vector<FileHolder> holders;
      for (UINT i = 0; i < count && i < found.size(); ++i) {
        holders.push_back({Narrowed(found[i].strAppName), found[i].Process.dwProcessId});
      }
      return holders;
    }
    if (result != ERROR_MORE_DATA) {
      return {};
    }
    found.resize(needed);
  }
  return {};
}

}  // namespace

std::vector<FileHolder> HoldersByRestartManager(const std::string& path) {
  const std::wstring file = Widened(path);
  const HMODULE module = file.empty() ? nullptr : LoadRestartManager();
  if (module == nullptr) {
    return {};
  }
  const auto start = Find<decltype(&RmStartSession)>(module, "RmStartSession");
  const auto registerFiles = Find<decltype(&RmRegisterResources)>(module, "RmRegisterResources");
  const auto getList = Find<decltype(&RmGetList)>(module, "RmGetList");
  const auto end = Find<decltype(&RmEndSession)>(module, "RmEndSession");
  std::vector<FileHolder> holders;
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (start && registerFiles && getList && end && start(&session, 0, key) == ERROR_SUCCESS) {
    LPCWSTR files[] = {file.c_str()};
    if (registerFiles(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
      holders = Listed(getList, session);
    }
    end(session);
  }
  FreeLibrary(module);
  return holders;
}

std::string DescribeHolders(const std::vector<FileHolder>& holders) {
  std::string text;
  for (std::size_t i = 0; i < holders.size(); ++i) {
    if (i > 0) {
      text += i + 1 == holders.size() ? " and " : ", ";
    }
    const std::string name = holders[i].name.empty() ? "a program" : holders[i].name;
    text += name + " (process " + std::to_string(holders[i].processId) + ")";
  }
  return text;
}

}  // namespace shiftlet
