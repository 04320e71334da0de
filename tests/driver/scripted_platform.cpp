#include "driver/scripted_platform.h"

#include <filesystem>

#include "paths/path_text.h"

namespace shiftlet::testing {

class ScriptedPlatform::ScriptedBoxes final : public MessageBoxes {
 public:
  explicit ScriptedBoxes(ScriptedPlatform& platform) : platform_(platform) {}
  void ShowOk(const std::string& text) override {
    if (text == platform_.boxThatCannotBeShown) {
      throw std::runtime_error("cannot show a message box");
    }
    platform_.transcript.push_back("Ok: " + text);
  }
  void ShowWarning(const std::string& text) override {
    platform_.transcript.push_back("Warning: " + text);
  }
  bool AskYesNo(const std::string& text) override { return Answer("YesNo: " + text); }
  bool AskYesNoDefaultNo(const std::string& text) override {
    return Answer("YesNo (No first): " + text);
  }
  bool AskRetryCancel(const std::string& text) override { return Answer("RetryCancel: " + text); }

 private:
  bool Answer(const std::string& shown) {
    platform_.transcript.push_back(shown);
    if (platform_.answers.empty()) {
      throw std::logic_error("the script has no answer for: " + shown);
    }
    const bool yes = platform_.answers.front();
    platform_.answers.pop_front();
    return yes;
  }

  ScriptedPlatform& platform_;
};

class ScriptedPlatform::ScriptedPicker final : public FilePicker {
 public:
  explicit ScriptedPicker(ScriptedPlatform& platform) : platform_(platform) {}
  void ShowOpen() override {
    platform_.transcript.push_back("Pick: " + DialogTitle + " [" + Filter + "] in " + InitDir +
                                   " proposing " + filename);
    if (platform_.picks.empty()) {
      throw std::logic_error("the script has no pick for: " + DialogTitle);
    }
    const std::optional<std::string> pick = platform_.picks.front();
    platform_.picks.pop_front();
    filename = pick.value_or("");
    FileTitle = std::filesystem::path(filename).filename().string();
  }

 private:
  ScriptedPlatform& platform_;
};

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr PathForm kPaths = kWindowsPaths;
#else
constexpr char kSeparator = '/';
constexpr PathForm kPaths = kPosixPaths;
#endif

class TextFileSystemObject final : public FileSystemObject {
 public:
  explicit TextFileSystemObject(const CodePage& codePage) : codePage_(codePage) {}
  std::string GetParentFolderName(const std::string& path) override {
    return ParentFolderOf(path, kPaths, codePage_);
  }
  bool FileExists(const std::string& path) override {
    return std::filesystem::is_regular_file(path);
  }

 private:
  const CodePage& codePage_;
};

}  // namespace

ScriptedPlatform::ScriptedPlatform(FileLayer& files)
    : files_(files), boxes_(std::make_unique<ScriptedBoxes>(*this)) {}
ScriptedPlatform::~ScriptedPlatform() = default;

char ScriptedPlatform::PathSeparator() const {
  return kSeparator;
}

std::string ScriptedPlatform::ProposedPath(const std::string& initDir, const std::string& name) {
  return JoinPath(initDir, kSeparator, name, codePage);
}

std::string ScriptedPlatform::FullPath(const std::string& path) {
  return path.empty() ? path : std::filesystem::absolute(path).lexically_normal().string();
}

MessageBoxes& ScriptedPlatform::Boxes() {
  return *boxes_;
}

FilePicker& ScriptedPlatform::Picker() {
  if (pickerCannotBeCreated) {
    throw std::runtime_error("the picker cannot be created");
  }
  if (!picker_) {
    picker_ = std::make_unique<ScriptedPicker>(*this);
  }
  return *picker_;
}

std::unique_ptr<FileSystemObject> ScriptedPlatform::CreateFileSystemObject() {
  if (fileSystemCannotBeCreated) {
    throw std::runtime_error("the file-system object cannot be created");
  }
  return std::make_unique<TextFileSystemObject>(codePage);
}

}  // namespace shiftlet::testing
