#include "platform/unattended/unattended_platform.h"

#include <utility>

namespace shiftlet {

std::string FileTitleOf(const std::string& path, FileSystemObject& fileSystem, char separator) {
  const std::string folder = fileSystem.GetParentFolderName(path);
  std::size_t start = path.compare(0, folder.size(), folder) == 0 ? folder.size() : 0;
  // What follows the folder starts on a whole character, so a separator there is one.
  while (start < path.size() && (path[start] == separator || path[start] == '/')) {
    ++start;
  }
  return path.substr(start);
}

class UnattendedPlatform::AnsweringBoxes final : public MessageBoxes {
 public:
  void ShowOk(const std::string& /*text*/) override {}
  bool AskYesNo(const std::string& /*text*/) override { return true; }
};

class UnattendedPlatform::AnsweringPicker final : public FilePicker {
 public:
  AnsweringPicker(UnattendedPlatform& platform, UnattendedChoices choices)
      : platform_(platform), choices_(std::move(choices)) {}

  void ShowOpen() override {
    // The first use picks the old file, the second the new one, as in every run.
    const std::optional<std::string>& given =
        picked.empty() ? choices_.source : choices_.destination;
    filename = given ? *given : platform_.ProposedPath(InitDir, filename);
    const std::unique_ptr<FileSystemObject> fileSystem = platform_.CreateFileSystemObject();
    FileTitle = FileTitleOf(filename, *fileSystem, platform_.PathSeparator());
    picked.push_back(filename);
  }
  std::vector<std::string> picked;

 private:
  UnattendedPlatform& platform_;
  UnattendedChoices choices_;
};

UnattendedPlatform::UnattendedPlatform(Platform& system, UnattendedChoices choices)
    : system_(system),
      boxes_(std::make_unique<AnsweringBoxes>()),
      picker_(std::make_unique<AnsweringPicker>(*this, std::move(choices))) {}

UnattendedPlatform::~UnattendedPlatform() = default;

MessageBoxes& UnattendedPlatform::Boxes() {
  return *boxes_;
}

FilePicker& UnattendedPlatform::Picker() {
  return *picker_;
}

std::unique_ptr<FileSystemObject> UnattendedPlatform::CreateFileSystemObject() {
  return system_.CreateFileSystemObject();
}

std::string UnattendedPlatform::ProposedPath(const std::string& initDir, const std::string& name) {
  return system_.ProposedPath(initDir, name);
}

const std::vector<std::string>& UnattendedPlatform::Picked() const {
  return picker_->picked;
}

}  // namespace shiftlet
