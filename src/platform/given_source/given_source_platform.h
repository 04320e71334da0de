#pragma once

#include <memory>
#include <string>

#include "driver/platform.h"

namespace shiftlet {

// The system's own front-end, except that its first picker opens in the folder of `source` with
// its name proposed: the dialogue for a file dropped on the program, opened with it, or named in
// a shortcut. Everything else, the second picker included, is the system's unchanged. `source` is
// made full by the system's rules first, so a relative one is taken from the current folder.
class GivenSourcePlatform final : public Platform {
 public:
  GivenSourcePlatform(Platform& system, const std::string& source);
  ~GivenSourcePlatform() override;

  MessageBoxes& Boxes() override { return system_.Boxes(); }
  FilePicker& Picker() override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
    return system_.CreateFileSystemObject();
  }
  FileLayer& Files() override { return system_.Files(); }
  char PathSeparator() const override { return system_.PathSeparator(); }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override {
    return system_.ProposedPath(initDir, name);
  }
  std::string FullPath(const std::string& path) override { return system_.FullPath(path); }
  const CodePage& NameCodePage() const override { return system_.NameCodePage(); }

 private:
  class ProposingPicker;
  Platform& system_;
  std::string source_;
  std::unique_ptr<ProposingPicker> picker_;
};

}  // namespace shiftlet
