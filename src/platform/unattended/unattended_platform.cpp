#include "platform/unattended/unattended_platform.h"

#include <utility>

namespace shiftlet {

class UnattendedPlatform::AnsweringBoxes final : public MessageBoxes {
 public:
  explicit AnsweringBoxes(bool replace) : replace_(replace) {}
  void ShowOk(const std::string& /*text*/) override {}
  bool AskYesNo(const std::string& /*text*/) override { return true; }
  // Only ever whether to replace a file that differs: never, unless the command line said so.
  bool AskYesNoDefaultNo(const std::string& /*text*/) override { return replace_; }
  bool AnswersByItself() const override { return true; }
  // Nobody can close the program holding a file: the run ends, and a later one finishes it.
  bool AskRetryCancel(const std::string& /*text*/) override { return false; }

 private:
  bool replace_;
};

class UnattendedPlatform::AnsweringPicker final : public FilePicker {
 public:
  AnsweringPicker(UnattendedPlatform& platform, UnattendedChoices choices)
      : platform_(platform), choices_(std::move(choices)) {}

  void ShowOpen() override {
    // The first use picks the old file, the second the new one, as in every run.
    const bool destination = !picked.empty();
    const std::optional<std::string>& given = destination ? choices_.destination : choices_.source;
    // Full paths, so that the default.qcf updated is the one beside the file written, and the
    // report and the log say exactly which files those were.
    filename = given ? platform_.FullPath(*given) : platform_.ProposedPath(InitDir, filename);
    picked.push_back(filename);
    const std::unique_ptr<FileSystemObject> fileSystem = platform_.CreateFileSystemObject();
    FileTitle = FileTitleIn(*fileSystem, filename, platform_.PathSeparator());
  }
  std::vector<std::string> picked;

 private:
  UnattendedPlatform& platform_;
  UnattendedChoices choices_;
};

UnattendedPlatform::UnattendedPlatform(Platform& system, UnattendedChoices choices)
    : PlatformOver(system),
      boxes_(std::make_unique<AnsweringBoxes>(choices.replace)),
      picker_(std::make_unique<AnsweringPicker>(*this, std::move(choices))) {}

UnattendedPlatform::~UnattendedPlatform() = default;

MessageBoxes& UnattendedPlatform::Boxes() {
  return *boxes_;
}

FilePicker& UnattendedPlatform::Picker() {
  return *picker_;
}

const std::vector<std::string>& UnattendedPlatform::Picked() const {
  return picker_->picked;
}

}  // namespace shiftlet
