#pragma once

#include <sys/stat.h>

namespace shiftlet {

// What a file that is not a regular one is, for the failure that refuses it.
inline const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) {
    return "a folder";
  }
  if (S_ISCHR(mode)) {
    return "a character device";
  }
  if (S_ISBLK(mode)) {
    return "a block device";
  }
  if (S_ISFIFO(mode)) {
    return "a pipe";
  }
  if (S_ISSOCK(mode)) {
    return "a socket";
  }
  return "a special file";
}

}  // namespace shiftlet
