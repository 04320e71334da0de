#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "textfile/file_layer.h"
#include "textfile/memory_file.h"

namespace shiftlet::testing {

// Files held in memory, for fuzzing and benchmarks where a disk would only add noise. Folders are
// not modelled: any path names a file.
class MemoryFileLayer final : public FileLayer {
 public:
  std::map<std::string, MemoryBytes> files;
  // Paths that are links, as far as IsLink says: a test marks them.
  std::set<std::string> links;

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override;
  void CheckWritableInPlace(const std::string& path) override;
  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override;
  void Replace(const std::string& source, const std::string& target) override;
  // The path's text: each path names a file of its own.
  std::string EntryKey(const std::string& path) override { return path; }
  void Remove(const std::string& path) override;
  bool IsLink(const std::string& path) override { return links.count(path) != 0; }
  void RemoveQuietly(const std::string& path) noexcept override;
};

}  // namespace shiftlet::testing
