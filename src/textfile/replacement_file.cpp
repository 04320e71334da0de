#include "textfile/replacement_file.h"

#include <algorithm>
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

ReplacementFile::ReplacementFile(FileLayer& files, std::string target,
                                 BeforeFirstWrite beforeFirstWrite, BeforeReplace beforeReplace)
    : files_(files),
      target_(std::move(target)),
      beforeFirstWrite_(std::move(beforeFirstWrite)),
      beforeReplace_(std::move(beforeReplace)) {
  if (target_.empty()) {
    throw ConversionFailure("no file name given");  // a cancelled picker
  }
  // Before the temporary file exists: running out of memory here leaves nothing behind (a
  // constructor that throws gets no destructor to clean up).
  buffer_.reserve(kBlockSize);
  existing_ = files_.OpenToCompare(target_);
  if (existing_) {
    compared_.resize(kBlockSize);
  } else {
    StartWriting(FirstWrite::kNewFile);
  }
}

ReplacementFile::~ReplacementFile() {
  if (!committed_ && !temporaryPath_.empty()) {
    file_.reset();  // closes quietly
    files_.RemoveQuietly(temporaryPath_);
  }
}

std::size_t ReplacementFile::Compare(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (comparedAt_ == comparedEnd_ && !TargetGoesOn()) {
      break;  // the target ends before these bytes
    }
    const std::size_t length = std::min(bytes.size() - done, comparedEnd_ - comparedAt_);
    const char* const ours = bytes.data() + done;
    const char* const theirs = compared_.data() + comparedAt_;
    const auto same =
        static_cast<std::size_t>(std::mismatch(ours, ours + length, theirs).first - ours);
    done += same;
    comparedAt_ += same;
    matched_ += same;
    if (same < length) {
      break;
    }
  }
  return done;
}

bool ReplacementFile::TargetGoesOn() {
  if (comparedAt_ < comparedEnd_) {
    return true;
  }
  comparedAt_ = 0;
  comparedEnd_ = existing_->Read(compared_.data(), compared_.size());
  return comparedEnd_ > 0;
}

void ReplacementFile::StartWriting(FirstWrite why) {
  existing_.reset();
  compared_ = std::string();
  if (beforeFirstWrite_) {
    beforeFirstWrite_(why);
  }
  files_.CheckWritableInPlace(target_);
  TemporaryFile temporary = CreateTemporaryBeside(files_, target_);
  temporaryPath_ = std::move(temporary.path);
  file_ = std::move(temporary.file);
  if (matched_ == 0) {
    return;
  }
  // The bytes that matched are the target's own: copied from it rather than kept in memory.
  const std::unique_ptr<OpenFile> original = files_.OpenForReading(target_);
  for (std::uint64_t left = matched_; left > 0;) {
    buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockSize)));
    const std::size_t got = original->Read(buffer_.data(), buffer_.size());
    if (got == 0) {
      throw ConversionFailure("cannot read " + target_ + ": it was shortened while it was read");
    }
    file_->Write(buffer_.data(), got);
    left -= got;
  }
  buffer_.clear();
}

void ReplacementFile::Write(std::string_view bytes) {
  if (existing_) {
    const std::size_t same = Compare(bytes);
    if (same == bytes.size()) {
      return;
    }
    StartWriting(FirstWrite::kReplacingOther);
    bytes.remove_prefix(same);
  }
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

bool ReplacementFile::Commit() {
  if (existing_) {
    if (!TargetGoesOn()) {
      existing_.reset();
      committed_ = true;
      return false;  // it holds these bytes already
    }
    StartWriting(FirstWrite::kReplacingOther);
  }
  WriteBuffered();
  file_->Flush();
  file_->Close();
  if (beforeReplace_) {
    beforeReplace_();
  }
  files_.Replace(temporaryPath_, target_);
  committed_ = true;
  return true;
}

}  // namespace shiftlet
