#include "platform/dry_run/dry_run_platform.h"

#include "textfile/conversion_failure.h"

namespace shiftlet {

std::unique_ptr<OpenFile> DryRunFileLayer::OpenForReading(const std::string& path) {
  const auto written = WrittenFileRead(path);
  if (written == current_.end()) {
    return system_.OpenForReading(path);
  }
  if (written->second == nullptr) {
    throw ConversionFailure("cannot open " + path + ": it was removed");
  }
  return std::make_unique<MemoryFile>(*written->second);
}

std::unique_ptr<OpenFile> DryRunFileLayer::OpenToCompare(const std::string& path) {
  const auto written = WrittenFileRead(path);
  if (written == current_.end()) {
    return system_.OpenToCompare(path);
  }
  return written->second ? std::make_unique<MemoryFile>(*written->second) : nullptr;
}

DryRunFileLayer::Entries::iterator DryRunFileLayer::WrittenFileRead(const std::string& path) {
  // A link the run replaced is a file now; one it did not is followed as the system follows it,
  // as far as the system would (40 links, as Linux's limit).
  std::string at = path;
  for (int link = 0; link <= 40 && !at.empty(); ++link) {
    const auto written = current_.find(system_.EntryKey(at));
    if (written != current_.end()) {
      return written;
    }
    at = system_.LinkedPath(at);
  }
  return current_.end();
}

void DryRunFileLayer::CheckWritableInPlace(const std::string& path) {
  // A target this run has written is on the real run's disk by now, as the file it put there: the
  // system is asked about that file (its mode, the names beside it), not about what is there now.
  try {
    if (Holds(path)) {
      system_.CheckWritableOnceCreated(path);
    } else {
      system_.CheckWritableInPlace(path);
    }
  } catch (const ConversionFailure& failure) {
    // Held by another program now: the run would wait for it, so it is no fault of the PC here
    // (the system asks it last, so nothing else is left unasked).
    if (failure.WhatCaused() != ConversionFailure::Cause::kInUse) {
      throw;
    }
  }
}

std::unique_ptr<OpenFile> DryRunFileLayer::CreateExclusive(const std::string& path) {
  const auto [created, isNew] = temporary_.emplace(path, MemoryBytes());
  return isNew ? std::make_unique<MemoryFile>(created->second) : nullptr;
}

void DryRunFileLayer::Replace(const std::string& source, const std::string& target) {
  const auto found = temporary_.find(source);
  if (found == temporary_.end()) {
    throw ConversionFailure("cannot replace " + target + ": nothing was written for it");
  }
  replaced_.push_back({target, std::move(found->second)});
  temporary_.erase(found);
  current_[system_.EntryKey(target)] = &replaced_.back().bytes;
}

void DryRunFileLayer::Remove(const std::string& path) {
  // An entry that is not there, or was removed already in this run, fails as the real removal
  // would.
  if (Removed(path) || (!Reads(path) && !OnTheDisk(path))) {
    throw ConversionFailure("cannot remove " + path + ": there is no such file");
  }
  // Removing an entry asks of its folder what replacing it does.
  CheckWritableInPlace(path);
  current_[system_.EntryKey(path)] = nullptr;
}

bool DryRunFileLayer::OnTheDisk(const std::string& path) {
  if (!system_.LinkedPath(path).empty()) {
    return true;  // a link, whatever it names
  }
  try {
    return system_.OpenToCompare(path) != nullptr;
  } catch (const ConversionFailure&) {
    return true;  // there, but not to be read
  }
}

void DryRunFileLayer::RemoveQuietly(const std::string& path) noexcept {
  temporary_.erase(path);
}

bool DryRunFileLayer::Holds(const std::string& path) {
  const auto found = current_.find(system_.EntryKey(path));
  return found != current_.end() && found->second != nullptr;
}

bool DryRunFileLayer::Reads(const std::string& path) {
  const auto written = WrittenFileRead(path);
  return written != current_.end() && written->second != nullptr;
}

bool DryRunFileLayer::Removed(const std::string& path) {
  const auto written = WrittenFileRead(path);
  return written != current_.end() && written->second == nullptr;
}

// The system's file-system object, which also finds the files the run has written in memory.
class DryRunPlatform::SeeingFileSystem final : public FileSystemObject {
 public:
  SeeingFileSystem(std::unique_ptr<FileSystemObject> system, DryRunFileLayer& files)
      : system_(std::move(system)), files_(files) {}

  std::string GetParentFolderName(const std::string& path) override {
    return system_->GetParentFolderName(path);
  }
  bool FileExists(const std::string& path) override {
    return files_.Reads(path) || (!files_.Removed(path) && system_->FileExists(path));
  }

 private:
  std::unique_ptr<FileSystemObject> system_;
  DryRunFileLayer& files_;
};

DryRunPlatform::DryRunPlatform(Platform& system) : PlatformOver(system), files_(system.Files()) {}

DryRunPlatform::~DryRunPlatform() = default;

std::unique_ptr<FileSystemObject> DryRunPlatform::CreateFileSystemObject() {
  return std::make_unique<SeeingFileSystem>(system_.CreateFileSystemObject(), files_);
}

}  // namespace shiftlet
