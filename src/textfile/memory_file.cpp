#include "textfile/memory_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace shiftlet {

namespace {

// Small pieces gather into chunks of this size; the writers' own blocks are as large.
constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

MemoryBytes::MemoryBytes(std::string bytes) {
  size_ = bytes.size();
  if (size_ > 0) {
    chunks_.push_back(std::move(bytes));
  }
}

void MemoryBytes::Append(std::string_view bytes) {
  if (bytes.empty()) {
    return;
  }
  if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < bytes.size()) {
    std::string chunk;
    chunk.reserve(std::max(bytes.size(), kChunkSize));
    chunks_.push_back(std::move(chunk));
  }
  chunks_.back().append(bytes);  // within its capacity: never reallocates
  size_ += bytes.size();
}

std::size_t MemoryBytes::Read(Position& at, char* buffer, std::size_t size) const {
  std::size_t got = 0;
  while (got < size && at.chunk < chunks_.size()) {
    const std::string& chunk = chunks_[at.chunk];
    const std::size_t part = std::min(size - got, chunk.size() - at.offset);
    std::memcpy(buffer + got, chunk.data() + at.offset, part);
    got += part;
    at.offset += part;
    if (at.offset == chunk.size()) {
      ++at.chunk;
      at.offset = 0;
    }
  }
  return got;
}

std::string MemoryBytes::Text() const {
  std::string text;
  text.reserve(size_);
  for (const std::string& chunk : chunks_) {
    text += chunk;
  }
  return text;
}

}  // namespace shiftlet
