#include "textfile/replacement_file.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "textfile/conversion_failure.h"

namespace shiftlet {

namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr unsigned kNameAttempts = 100;

}  // namespace

std::string TemporaryNameFor(const std::string& target, unsigned attempt) {
  // The clock makes collisions with leftovers of an earlier run unlikely; the attempt number
  // makes each retry differ.
  const auto ticks =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  char tag[kTemporaryTagSize + 1];
  std::snprintf(tag, sizeof tag, ".%06llx%02x.tmp", ticks & 0xffffffULL, attempt & 0xffU);
  return target + tag;
}

TemporaryFile CreateTemporaryBeside(FileLayer& files, const std::string& target) {
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path = TemporaryNameFor(target, attempt);
    if (std::unique_ptr<OpenFile> file = files.CreateExclusive(path)) {
      return {std::move(path), std::move(file)};
    }
  }
  throw ConversionFailure("no free temporary name beside " + target);
}

ReplacementFile::ReplacementFile(FileLayer& files, std::string target)
    : files_(files), target_(std::move(target)) {
  if (target_.empty()) {
    throw ConversionFailure("no file name given");  // a cancelled picker
  }
  // Before the temporary file exists: running out of memory here leaves nothing behind (a
  // constructor that throws gets no destructor to clean up).
  buffer_.reserve(kBlockSize);
  files_.CheckWritableInPlace(target_);
  TemporaryFile temporary = CreateTemporaryBeside(files_, target_);
  temporaryPath_ = std::move(temporary.path);
  file_ = std::move(temporary.file);
}

ReplacementFile::~ReplacementFile() {
  if (!committed_) {
    file_.reset();  // closes quietly
    files_.RemoveQuietly(temporaryPath_);
  }
}

void ReplacementFile::Write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() < kBlockSize) {
    buffer_.append(bytes);
    return;
  }
  // A large piece goes straight to the file rather than through a copy in the buffer.
  WriteBuffered();
  if (bytes.size() < kBlockSize) {
    buffer_.append(bytes);
  } else {
    file_->Write(bytes.data(), bytes.size());
  }
}

void ReplacementFile::WriteBuffered() {
  if (!buffer_.empty()) {
    file_->Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }
}

void ReplacementFile::Commit() {
  WriteBuffered();
  file_->Flush();
  file_->Close();
  files_.Replace(temporaryPath_, target_);
  committed_ = true;
}

}  // namespace shiftlet
