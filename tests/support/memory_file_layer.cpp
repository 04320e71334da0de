#include "support/memory_file_layer.h"

#include "textfile/conversion_failure.h"

namespace shiftlet::testing {

std::unique_ptr<OpenFile> MemoryFileLayer::OpenForReading(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) {
    throw ConversionFailure("cannot open " + path);
  }
  return std::make_unique<MemoryFile>(found->second);
}

std::unique_ptr<OpenFile> MemoryFileLayer::OpenToCompare(const std::string& path) {
  const auto found = files.find(path);
  return found == files.end() ? nullptr : std::make_unique<MemoryFile>(found->second);
}

void MemoryFileLayer::CheckWritableInPlace(const std::string&) {}

std::unique_ptr<OpenFile> MemoryFileLayer::CreateExclusive(const std::string& path) {
  const auto [created, isNew] = files.emplace(path, MemoryBytes());
  return isNew ? std::make_unique<MemoryFile>(created->second) : nullptr;
}

void MemoryFileLayer::Replace(const std::string& source, const std::string& target) {
  auto found = files.find(source);
  if (found == files.end()) {
    throw ConversionFailure("cannot replace " + target);
  }
  MemoryBytes bytes = std::move(found->second);
  files.erase(found);
  files[target] = std::move(bytes);
}

void MemoryFileLayer::Remove(const std::string& path) {
  if (files.erase(path) == 0) {
    throw ConversionFailure("cannot remove " + path);
  }
}

void MemoryFileLayer::RemoveQuietly(const std::string& path) noexcept {
  files.erase(path);
}

}  // namespace shiftlet::testing
