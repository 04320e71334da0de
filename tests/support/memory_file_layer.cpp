#include "support/memory_file_layer.h"

#include <algorithm>
#include <cstring>

#include "textfile/conversion_failure.h"

namespace shiftlet::testing {

namespace {

class MemoryFile final : public OpenFile {
 public:
  explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}

  std::uint64_t SizeHint() override { return bytes_.size(); }
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t got = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    return got;
  }
  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }
  void Flush() override {}
  void Close() override {}

 private:
  std::string& bytes_;  // map nodes stay put while the file is open
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<OpenFile> MemoryFileLayer::OpenForReading(const std::string& path) {
  const auto found = files.find(path);
  if (found == files.end()) {
    throw ConversionFailure("cannot open " + path);
  }
  return std::make_unique<MemoryFile>(found->second);
}

void MemoryFileLayer::CheckWritableInPlace(const std::string&) {}

std::unique_ptr<OpenFile> MemoryFileLayer::CreateExclusive(const std::string& path) {
  const auto [created, isNew] = files.emplace(path, std::string());
  return isNew ? std::make_unique<MemoryFile>(created->second) : nullptr;
}

void MemoryFileLayer::Replace(const std::string& source, const std::string& target) {
  auto found = files.find(source);
  if (found == files.end()) {
    throw ConversionFailure("cannot replace " + target);
  }
  std::string bytes = std::move(found->second);
  files.erase(found);
  files[target] = std::move(bytes);
}

void MemoryFileLayer::RemoveQuietly(const std::string& path) noexcept {
  files.erase(path);
}

}  // namespace shiftlet::testing
