#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace shiftlet {

// A program holding a file open, as the Restart Manager names it.
struct FileHolder {
  std::string name;  // in the ANSI code page, as the rest of the program's text
  DWORD processId = 0;
};

// The programs the Restart Manager says hold the file at `path`. Empty when it names none (a
// driver such as a virus scanner, or Wine, whose Restart Manager lists nothing) or cannot be
// asked: any failure only loses the names. rstrtmgr.dll is no KnownDLL, so it is loaded from
// System32 alone, and only here, once a file has been found in use.
std::vector<FileHolder> HoldersByRestartManager(const std::string& path);

// "Velmora (process 1234)", "Velmora (process 1234) and Backup (process 88)", ...; "" for none.
std::string DescribeHolders(const std::vector<FileHolder>& holders);

}  // namespace shiftlet
