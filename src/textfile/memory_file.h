#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/file_layer.h"

namespace shiftlet {

// The bytes of a file held in memory, kept in the pieces they were written in: a small piece joins
// the last chunk while that has room, anything else starts a chunk of its own, a large piece
// exactly its size. Nothing written is moved again, so a file takes about its own size, where one
// growing string would copy itself at each doubling and hold up to twice it.
class MemoryBytes {
 public:
  // Where a reader is: the chunk and the byte in it.
  struct Position {
    std::size_t chunk = 0;
    std::size_t offset = 0;
  };

  MemoryBytes() = default;
  explicit MemoryBytes(std::string bytes);

  void Append(std::string_view bytes);
  std::size_t Size() const { return size_; }

  // Copies up to `size` bytes from `at` into `buffer` and moves `at` past them; returns how many,
  // 0 only at the end.
  std::size_t Read(Position& at, char* buffer, std::size_t size) const;

  // The bytes as one string: for small files, such as those of tests.
  std::string Text() const;
  bool operator==(const MemoryBytes& other) const { return Text() == other.Text(); }

 private:
  std::vector<std::string> chunks_;
  std::size_t size_ = 0;
};

// An open file over bytes in memory: reading starts at their first byte, writing appends to them.
// The bytes must outlive the file.
class MemoryFile final : public OpenFile {
 public:
  explicit MemoryFile(MemoryBytes& bytes) : bytes_(bytes) {}

  std::uint64_t SizeHint() override { return bytes_.Size(); }
  std::size_t Read(char* buffer, std::size_t size) override {
    return bytes_.Read(position_, buffer, size);
  }
  void Write(const char* data, std::size_t size) override { bytes_.Append({data, size}); }
  void Flush() override {}
  void Close() override {}

 private:
  MemoryBytes& bytes_;
  MemoryBytes::Position position_;
};

}  // namespace shiftlet
