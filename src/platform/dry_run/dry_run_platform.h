#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "driver/platform.h"
#include "textfile/file_layer.h"
#include "textfile/memory_file.h"

namespace shiftlet {

// A file layer that reads the system's files and keeps every write in memory: nothing on disk is
// created, changed or removed. What can be known without writing is asked of the system's own
// layer, so a target it would refuse (a missing folder, a folder, a read-only file, anything that
// is not a regular file) is refused here for the same reason. A file written earlier in the run
// is read back from memory, as the real run would read it from the disk; the system says which
// file a path names, so two names of one file are one file here too. What it cannot foresee is
// a write itself failing: a full disk, a file locked in between. A file another program holds now
// is no reason for a dry run to fail where it would write: the run would wait for it, and InUseBy
// says who holds it.
class DryRunFileLayer final : public FileLayer {
 public:
  // A file the run put in place: the path it was replaced under, and its bytes.
  struct PlacedFile {
    std::string path;
    MemoryBytes bytes;
  };

  explicit DryRunFileLayer(FileLayer& system) : system_(system) {}

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override;
  void CheckWritableInPlace(const std::string& path) override;
  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override;
  void Replace(const std::string& source, const std::string& target) override;
  std::string EntryKey(const std::string& path) override { return system_.EntryKey(path); }
  std::string ListedName(const std::string& path) override { return system_.ListedName(path); }
  // Asks the system whether it could be removed, and keeps it as removed; fails where the
  // system's removal would, as for an entry that is not there or was removed already.
  void Remove(const std::string& path) override;
  std::string LinkedPath(const std::string& path) override { return system_.LinkedPath(path); }
  // The disk's answers: a file written in memory is put where the disk's entry is, and is no link.
  std::string FileIdOf(const std::string& path) override { return system_.FileIdOf(path); }
  bool IsLink(const std::string& path) override { return system_.IsLink(path); }
  // The system's files are waited for and asked about as the run would.
  void WaitForFilesInUse(const InUseWait& wait) override { system_.WaitForFilesInUse(wait); }
  std::string InUseBy(const std::string& path) override { return system_.InUseBy(path); }
  void RemoveQuietly(const std::string& path) noexcept override;

  // Whether the run has put a file in place at `path`, under this or any other of its names.
  bool Holds(const std::string& path);
  // Whether a read of `path` meets a file the run has put in place: at `path` itself, or at the
  // end of the links on the disk a read follows from there.
  bool Reads(const std::string& path);
  // Whether a read of `path` meets a file the run has removed (and put none there since).
  bool Removed(const std::string& path);
  // The files the run put in place, in the order it did, each kept once: a file replaced again
  // is here twice, its earlier content and its later.
  const std::deque<PlacedFile>& Replaced() const { return replaced_; }

 private:
  // What each entry the run wrote holds now, by its key; null for an entry the run removed.
  using Entries = std::map<std::string, MemoryBytes*>;
  // The entry a read of `path` meets among those: at `path`, or at the end of the links the
  // system would follow from there; end() when the read meets the disk's own file.
  Entries::iterator WrittenFileRead(const std::string& path);
  // Whether the disk has an entry at `path`: a file, or a link whatever it names.
  bool OnTheDisk(const std::string& path);

  FileLayer& system_;
  std::map<std::string, MemoryBytes> temporary_;  // written, not yet in place, by the run's names
  std::deque<PlacedFile> replaced_;               // never moved once in place: read from there
  Entries current_;
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
