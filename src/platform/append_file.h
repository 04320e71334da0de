#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace shiftlet {

// A text file that is only ever added to, line by line, shared with other programs adding to it at
// the same time (several runs writing one log). Each line is one write at the end of the file as
// it is then, put there by the system itself: a seek to the end followed by a write, as the C
// runtime's append mode does on Windows, lets two programs write at the same place and one line
// overwrite the other.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  // Adds `text` and the system's line end (CR LF on Windows, LF elsewhere) at the end of the file,
  // in one write. False when they could not all be written.
  virtual bool AppendLine(std::string_view text) = 0;
};

// Opens `path` for appending, creating it if need be; others may read and append meanwhile.
// Throws std::runtime_error whose text is the system's reason alone, for the caller to say which
// file it was and what for.
std::unique_ptr<AppendFile> OpenForAppending(const std::string& path);

}  // namespace shiftlet
