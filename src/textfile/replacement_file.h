#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "textfile/file_layer.h"

namespace shiftlet {

// What a ReplacementFile is about to do when it first has to write: put a new file where there
// was none, or replace a file that holds other bytes.
enum class FirstWrite { kNewFile, kReplacingOther };

// Called once, before anything is created, when a ReplacementFile finds it has to write after
// all; it may throw to leave everything as it is. Empty: write.
using BeforeFirstWrite = std::function<void(FirstWrite)>;

// Called once the new file is complete on the disk, just before it takes the target's place; it
// may throw to leave the target as it is (the new file is then removed). Empty: replace.
using BeforeReplace = std::function<void()>;

// Writes a file so that it is never seen half-written: the bytes go to a temporary file beside
// the target, which takes the target's place only in Commit(), after everything is on the disk.
// Destroyed before Commit() (a failure), it removes the temporary file and leaves the target
// exactly as it was, absent if it was absent.
//
// A write that changes nothing is no write: while the target is a regular file whose bytes match
// those written so far, nothing is created; only at the first byte that differs (or at a length
// that differs) is the target asked whether it may be written, and the temporary file created,
// with the bytes that matched copied into it from the target. A target that already holds every
// byte is left as it is: its times, identity and rights are untouched.
class ReplacementFile {
 public:
  // Opens the target to compare when it is a regular file; otherwise checks that `target` could
  // be written in place and creates the temporary file beside it.
  ReplacementFile(FileLayer& files, std::string target, BeforeFirstWrite beforeFirstWrite = {},
                  BeforeReplace beforeReplace = {});
  ~ReplacementFile();

  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Appends bytes; they reach the temporary file in large blocks.
  void Write(std::string_view bytes);
  // Writes out what is buffered, makes it durable, closes, and replaces the target. Returns
  // whether the target was replaced: false when it already held exactly these bytes.
  bool Commit();

  // Empty until the temporary file exists (never, when nothing needs writing).
  const std::string& TemporaryPath() const { return temporaryPath_; }

 private:
  // Compares `bytes` with the target's next bytes; returns how many of them match.
  std::size_t Compare(std::string_view bytes);
  // Whether the target has bytes after those compared.
  bool TargetGoesOn();
  // Asks, checks and creates the temporary file, holding the first `matched` bytes of the target.
  void StartWriting(FirstWrite why);
  void WriteBuffered();

  FileLayer& files_;
  std::string target_;
  BeforeFirstWrite beforeFirstWrite_;
  BeforeReplace beforeReplace_;
  std::unique_ptr<OpenFile> existing_;  // the target, while every byte written matches it
  std::string compared_;                // the target's bytes read and not yet compared...
  std::size_t comparedAt_ = 0;          // ...from here
  std::size_t comparedEnd_ = 0;         // ...to here
  std::uint64_t matched_ = 0;           // how many bytes written match the target's first ones
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
