#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "driver/platform.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// A file layer that reads the system's files and keeps every write in memory: nothing on disk is
// created, changed or removed. What can be known without writing is asked of the system's own
// layer, so a target it would refuse (a missing folder, a folder, a read-only file, anything that
// is not a regular file) is refused here for the same reason. A file written earlier in the run
// is read back from memory, as the real run would read it from the disk. What it cannot foresee is
// a write itself failing: a full disk, a file locked in between.
class DryRunFileLayer final : public FileLayer {
 public:
  explicit DryRunFileLayer(FileLayer& system) : system_(system) {}

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override;
  void CheckWritableInPlace(const std::string& path) override;
  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override;
  void Replace(const std::string& source, const std::string& target) override;
  void RemoveQuietly(const std::string& path) noexcept override;

  // The files the run put in place, in the order it did: each target's path and its bytes.
  const std::vector<std::pair<std::string, std::string>>& Replaced() const { return replaced_; }

 private:
  FileLayer& system_;
  std::map<std::string, std::string> temporary_;  // written, not yet in place
  std::map<std::string, std::string> current_;    // what each target holds after the run so far
  std::vector<std::pair<std::string, std::string>> replaced_;
};

// The system's platform with its files behind a DryRunFileLayer: a whole run over it does and
// reports everything a real run would, and leaves the disk as it was. The file-system object sees
// the files written in memory too.
class DryRunPlatform final : public PlatformOver {
 public:
  explicit DryRunPlatform(Platform& system);
  ~DryRunPlatform() override;

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override;
  FileLayer& Files() override { return files_; }

  const DryRunFileLayer& DryRunFiles() const { return files_; }

 private:
  class SeeingFileSystem;
  DryRunFileLayer files_;
};

}  // namespace shiftlet
