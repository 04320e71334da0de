#include "support/faulty_file_layer.h"

#include <utility>

#include "platform/system_file_layer.h"
#include "textfile/conversion_failure.h"

namespace shiftlet::testing {

namespace {

class FaultyFile final : public OpenFile {
 public:
  FaultyFile(FaultyFileLayer& layer, std::unique_ptr<OpenFile> real, std::string path)
      : layer_(layer), real_(std::move(real)), path_(std::move(path)) {}

  std::uint64_t SizeHint() override { return real_->SizeHint(); }
  std::size_t Read(char* buffer, std::size_t size) override {
    layer_.Count("read", path_);
    return real_->Read(buffer, size);
  }
  void Write(const char* data, std::size_t size) override {
    layer_.Count("write", path_);
    real_->Write(data, size);
  }
  void Flush() override {
    layer_.Count("flush", path_);
    real_->Flush();
  }
  void Close() override {
    layer_.Count("close", path_);
    real_->Close();
  }

 private:
  FaultyFileLayer& layer_;
  std::unique_ptr<OpenFile> real_;
  std::string path_;
};

}  // namespace

FaultyFileLayer::FaultyFileLayer() : real_(MakeSystemFileLayer()) {}
FaultyFileLayer::~FaultyFileLayer() = default;

void FaultyFileLayer::Count(const char* what, const std::string& path) {
  calls_.push_back(std::string(what) + " " + path);
  if (calls_.size() == failingCall_ && inUse_) {
    throw ConversionFailure::InUse(path, "Velmora (process 1234)");
  }
  if (calls_.size() == failingCall_) {
    throw ConversionFailure("injected failure of " + calls_.back());
  }
}

std::unique_ptr<OpenFile> FaultyFileLayer::OpenForReading(const std::string& path) {
  Count("open", path);
  return std::make_unique<FaultyFile>(*this, real_->OpenForReading(path), path);
}

std::unique_ptr<OpenFile> FaultyFileLayer::OpenToCompare(const std::string& path) {
  Count("open to compare", path);
  std::unique_ptr<OpenFile> real = real_->OpenToCompare(path);
  if (!real) {
    return nullptr;
  }
  return std::make_unique<FaultyFile>(*this, std::move(real), path);
}

void FaultyFileLayer::CheckWritableInPlace(const std::string& path) {
  Count("check", path);
  real_->CheckWritableInPlace(path);
}

void FaultyFileLayer::CheckWritableOnceCreated(const std::string& path) {
  Count("check once created", path);
  real_->CheckWritableOnceCreated(path);
}

std::unique_ptr<OpenFile> FaultyFileLayer::CreateExclusive(const std::string& path) {
  Count("create", path);
  std::unique_ptr<OpenFile> real = real_->CreateExclusive(path);
  if (!real) {
    return nullptr;
  }
  return std::make_unique<FaultyFile>(*this, std::move(real), path);
}

void FaultyFileLayer::Replace(const std::string& source, const std::string& target) {
  Count("replace", target);
  real_->Replace(source, target);
}

// Not a call that can fail: only the dry run asks it, to tell files apart.
std::string FaultyFileLayer::EntryKey(const std::string& path) {
  return real_->EntryKey(path);
}

void FaultyFileLayer::Remove(const std::string& path) {
  Count("remove", path);
  real_->Remove(path);
}

void FaultyFileLayer::RemoveIfStill(const std::string& path, const std::string& identity) {
  Count("remove", path);
  real_->RemoveIfStill(path, identity);
}

// Questions, not calls that can fail: what the run asks before it acts.
std::string FaultyFileLayer::FileIdOf(const std::string& path) {
  return real_->FileIdOf(path);
}

std::string FaultyFileLayer::LinkedPath(const std::string& path) {
  return real_->LinkedPath(path);
}

bool FaultyFileLayer::IsLink(const std::string& path) {
  return real_->IsLink(path);
}

void FaultyFileLayer::RemoveQuietly(const std::string& path) noexcept {
  real_->RemoveQuietly(path);
}

std::vector<std::string> FaultyFileLayer::TakeFilesLeftBehind() {
  return real_->TakeFilesLeftBehind();
}

}  // namespace shiftlet::testing
