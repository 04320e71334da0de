#include "platform/given_source/given_source_platform.h"

namespace shiftlet {

// Hands every use on to the system's picker, changing only the folder and name of the first.
class GivenSourcePlatform::ProposingPicker final : public FilePicker {
 public:
  ProposingPicker(FilePicker& system, std::string folder, std::string name)
      : system_(system), folder_(std::move(folder)), name_(std::move(name)) {}

  void ShowOpen() override {
    system_.Filter = Filter;
    system_.InitDir = first_ ? folder_ : InitDir;
    system_.filename = first_ ? name_ : filename;
    system_.DialogTitle = DialogTitle;
    first_ = false;
    system_.ShowOpen();
    filename = system_.filename;
    FileTitle = system_.FileTitle;
  }

 private:
  FilePicker& system_;
  std::string folder_;
  std::string name_;
  bool first_ = true;
};

GivenSourcePlatform::GivenSourcePlatform(Platform& system, const std::string& source)
    : PlatformOver(system), source_(system.FullPath(source)) {}

GivenSourcePlatform::~GivenSourcePlatform() = default;

FilePicker& GivenSourcePlatform::Picker() {
  if (!picker_) {
    const std::unique_ptr<FileSystemObject> fileSystem = system_.CreateFileSystemObject();
    const std::string folder = fileSystem->GetParentFolderName(source_);
    picker_ = std::make_unique<ProposingPicker>(
        system_.Picker(), folder, FileTitleIn(*fileSystem, source_, system_.PathSeparator()));
  }
  return *picker_;
}

}  // namespace shiftlet
