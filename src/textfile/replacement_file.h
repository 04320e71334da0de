#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "textfile/file_layer.h"

namespace shiftlet {

// Writes a file so that it is never seen half-written: the bytes go to a temporary file beside
// the target, which takes the target's place only in Commit(), after everything is on the disk.
// Destroyed before Commit() (a failure), it removes the temporary file and leaves the target
// exactly as it was, absent if it was absent.
class ReplacementFile {
 public:
  // Checks that `target` could be written in place and creates the temporary file beside it.
  ReplacementFile(FileLayer& files, std::string target);
  ~ReplacementFile();

  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Appends bytes; they reach the temporary file in large blocks.
  void Write(std::string_view bytes);
  // Writes out what is buffered, makes it durable, closes, and replaces the target.
  void Commit();

  const std::string& TemporaryPath() const { return temporaryPath_; }

 private:
  void WriteBuffered();

  FileLayer& files_;
  std::string target_;
  std::string temporaryPath_;
  std::unique_ptr<OpenFile> file_;
  std::string buffer_;
  bool committed_ = false;
};

// The name of a temporary file beside `target`: same folder, the target's name, then a tag of
// kTemporaryTagSize characters that differs with `attempt`. It ends in ".tmp" so that nothing
// looking for menu files picks it up.
std::string TemporaryNameFor(const std::string& target, unsigned attempt);
// How much longer than its target a temporary name is, for the layers' name-length limits.
inline constexpr std::size_t kTemporaryTagSize = 13;

// A new, empty file created exclusively beside `target` under a free TemporaryNameFor name: its
// path, and the file open for writing.
struct TemporaryFile {
  std::string path;
  std::unique_ptr<OpenFile> file;
};
// Throws ConversionFailure when no name is free after many attempts, or the layer's failure.
TemporaryFile CreateTemporaryBeside(FileLayer& files, const std::string& target);

}  // namespace shiftlet
