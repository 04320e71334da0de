#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "driver/file_system_object.h"
#include "paths/path_text.h"
#include "support/memory_file_layer.h"

namespace shiftlet::fuzz {

// Paths with '/' over files in memory.
class MemoryFileSystemObject final : public FileSystemObject {
 public:
  explicit MemoryFileSystemObject(const testing::MemoryFileLayer& files) : files_(files) {}
  std::string GetParentFolderName(const std::string& path) override {
    return ParentFolderOf(path, kPosixPaths, CodePage());
  }
  bool FileExists(const std::string& path) override { return files_.files.count(path) != 0; }

 private:
  const testing::MemoryFileLayer& files_;
};

// A broken property is a finding: report it and stop, so libFuzzer saves the input.
inline void Require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
  }
}

// The number of lines of text written by the program: every line end must be CR LF, and no CR or
// LF may stand anywhere else.
inline std::size_t CrLfLines(std::string_view text) {
  std::size_t lines = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\r' || text[at] == '\n') {
      Require(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n',
              "line ends are CR LF, with no CR or LF inside a line");
      ++at;
      ++lines;
    }
  }
  return lines;
}

// The same bytes with every line end, as the reader counts them (CR, LF or CR LF), written as LF.
inline std::string WithLfLineEnds(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        ++i;
      }
    } else {
      out += bytes[i];
    }
  }
  return out;
}

}  // namespace shiftlet::fuzz
