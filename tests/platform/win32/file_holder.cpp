// Holds a file open for the end-to-end tests, as a running Velmora or a virus scanner would: run
// in the same Wine session as Shiftlet, it opens the file for reading with the sharing given, says
// "holding" on its own line once it does, and lets go after the time given, or sooner once the
// release file exists.
//
//   file_holder PATH none|rw|rwd MILLISECONDS [RELEASE_FILE]
//
// none shares nothing; rw lets others read and write but not remove or replace; rwd lets them do
// all three. Exit status 0 after holding, 1 when the file could not be opened, 64 for bad
// arguments.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: file_holder PATH none|rw|rwd MILLISECONDS [RELEASE_FILE]\n");
    return 64;
  }
  const std::string sharing = argv[2];
  DWORD share = 0;
  if (sharing == "rw") {
    share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  } else if (sharing == "rwd") {
    share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  } else if (sharing != "none") {
    std::fprintf(stderr, "file_holder: sharing %s is none of none, rw, rwd\n", argv[2]);
    return 64;
  }
  const unsigned long milliseconds = std::strtoul(argv[3], nullptr, 10);
  const HANDLE file = CreateFileA(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "file_holder: cannot open %s (error %lu)\n", argv[1],
                 static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end &&
         (argc < 5 || GetFileAttributesA(argv[4]) == INVALID_FILE_ATTRIBUTES)) {
    Sleep(20);
  }
  CloseHandle(file);
  return 0;
}
