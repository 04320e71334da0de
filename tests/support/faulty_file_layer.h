#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "textfile/file_layer.h"

namespace shiftlet::testing {

// A file layer over the real one that makes one chosen call fail, as a full disk or a pulled
// stick would. Calls are counted from 1 across every kind (open, check, create, read, write,
// flush, close, replace, remove); a run with no failure chosen tells how many calls there are to
// walk.
class FaultyFileLayer final : public FileLayer {
 public:
  FaultyFileLayer();
  ~FaultyFileLayer() override;

  // Makes call number `call` throw ConversionFailure instead of reaching the system; 0 for none.
  // With `inUse`, the failure is that of a file another program still holds after the wait.
  void FailCall(std::size_t call, bool inUse = false) {
    failingCall_ = call;
    inUse_ = inUse;
  }
  std::size_t CallCount() const { return calls_.size(); }
  // What each call was, "write /tmp/x.tmp" and so on, for messages of failing tests.
  const std::vector<std::string>& Calls() const { return calls_; }

  // Counts a call and throws if it is the chosen one.
  void Count(const char* what, const std::string& path);

  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override;
  void CheckWritableInPlace(const std::string& path) override;
  void CheckWritableOnceCreated(const std::string& path) override;
  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override;
  void Replace(const std::string& source, const std::string& target) override;
  std::string EntryKey(const std::string& path) override;
  std::string ListedName(const std::string& path) override { return real_->ListedName(path); }
  void Remove(const std::string& path) override;
  void RemoveIfStill(const std::string& path, const std::string& identity) override;
  std::string FileIdOf(const std::string& path) override;
  std::string LinkedPath(const std::string& path) override;
  bool IsLink(const std::string& path) override;
  void RemoveQuietly(const std::string& path) noexcept override;
  std::vector<std::string> TakeFilesLeftBehind() override;
  // Settings and questions, not counted.
  void WaitForFilesInUse(const InUseWait& wait) override { real_->WaitForFilesInUse(wait); }
  std::string InUseBy(const std::string& path) override { return real_->InUseBy(path); }

 private:
  std::unique_ptr<FileLayer> real_;
  std::size_t failingCall_ = 0;
  bool inUse_ = false;
  std::vector<std::string> calls_;
};

}  // namespace shiftlet::testing
