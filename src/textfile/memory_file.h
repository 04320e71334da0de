#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "textfile/file_layer.h"

namespace shiftlet {

// An open file whose bytes are a string in memory: reading starts at its first byte, writing
// appends to it. The string must outlive the file.
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
  std::string& bytes_;
  std::size_t position_ = 0;
};

}  // namespace shiftlet
