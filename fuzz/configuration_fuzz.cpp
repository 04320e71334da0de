// The default.qcf update, inside a whole run, over arbitrary configuration bytes. A success leaves
// a default.qcf that names the new file and reads back its other two fields as they were: three CR
// LF lines, or, when it named the new file already, the bytes it had; a failure leaves default.qcf
// byte for byte as it was beside the complete new menu file; no temporary file is ever left.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "driver/shiftlet_core.h"
#include "fuzz/fuzz_support.h"
#include "paths/path_text.h"
#include "support/memory_file_layer.h"
#include "textfile/field_reader.h"

namespace {

using shiftlet::fuzz::Require;

const std::string kOldMenu = "70\r\n\"A\",1,0,\"1\",0\r\n";
const std::string kNewMenu = "70\r\ne,0,A,2,1,,,0\r\nn, 0 ,-1 , 0 \r\nx\r\n";

class YesBoxes final : public shiftlet::MessageBoxes {
 public:
  void ShowOk(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return true; }
  bool AskYesNoDefaultNo(const std::string&) override { return true; }
  bool AskRetryCancel(const std::string&) override { return false; }
};

// Picks the old file first, then the new one, both in one folder.
class FolderPicker final : public shiftlet::FilePicker {
 public:
  void ShowOpen() override {
    filename = picks_++ == 0 ? "velmora/menu.qof" : "velmora/new.qnf";
    FileTitle = filename.substr(filename.find('/') + 1);
  }

 private:
  int picks_ = 0;
};

// Says Yes to everything and picks the old and the new menu file in a folder of memory files.
class YesPlatform final : public shiftlet::Platform {
 public:
  shiftlet::MessageBoxes& Boxes() override { return boxes_; }
  shiftlet::FilePicker& Picker() override { return picker_; }
  std::unique_ptr<shiftlet::FileSystemObject> CreateFileSystemObject() override {
    return std::make_unique<shiftlet::fuzz::MemoryFileSystemObject>(memory);
  }
  shiftlet::FileLayer& Files() override { return memory; }
  char PathSeparator() const override { return '/'; }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override {
    return initDir + name;
  }
  std::string FullPath(const std::string& path) override { return path; }
  const shiftlet::CodePage& NameCodePage() const override { return codePage_; }

  shiftlet::testing::MemoryFileLayer memory;

 private:
  YesBoxes boxes_;
  shiftlet::CodePage codePage_;
  FolderPicker picker_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string config(reinterpret_cast<const char*>(data), size);
  YesPlatform platform;
  platform.memory.files["velmora/menu.qof"] = shiftlet::MemoryBytes(kOldMenu);
  platform.memory.files["velmora/default.qcf"] = shiftlet::MemoryBytes(config);
  shiftlet::ShiftletCore core(platform);
  const shiftlet::RunEnd end = core.RunConversion();

  const auto& files = platform.memory.files;
  // default.qcf as it was is kept beside it exactly when the run changed it.
  const auto backup = files.find("velmora/default.qcf.before-shiftlet");
  Require(core.Record().configurationChanged == (backup != files.end()),
          "a backup exactly when default.qcf was changed");
  Require(backup == files.end() || backup->second.Text() == config,
          "the backup holds default.qcf as it was");
  Require(files.size() == (backup == files.end() ? 3U : 4U),
          "the old file, the new file, default.qcf and nothing else but its backup");
  Require(files.at("velmora/new.qnf").Text() == kNewMenu, "the new menu file is complete");
  const std::string after = files.at("velmora/default.qcf").Text();
  Require(core.Record().configurationChanged || after == config,
          "an unchanged default.qcf is as it was");
  if (end == shiftlet::RunEnd::kFailed) {
    Require(after == config, "a failed update leaves default.qcf as it was");
    return 0;
  }
  Require(end == shiftlet::RunEnd::kSucceeded, "the run succeeds or fails");
  // What default.qcf named before, and reads back as now: the same three fields but the first.
  std::string before[3];
  std::string now[3];
  platform.memory.files["velmora/was.qcf"] = shiftlet::MemoryBytes(config);
  shiftlet::FieldReader(platform.memory, "velmora/was.qcf")
      .ReadFields({&before[0], &before[1], &before[2]});
  shiftlet::FieldReader(platform.memory, "velmora/default.qcf")
      .ReadFields({&now[0], &now[1], &now[2]});
  Require(now[0] == "new.qnf", "default.qcf names the new file");
  Require(now[1] == before[1] && now[2] == before[2],
          "its other two fields read back as they were");
  if (!core.Record().configurationChanged) {
    Require(before[0] == "new.qnf", "only a default.qcf that names the new file is left as it is");
    return 0;
  }
  const std::size_t lines = shiftlet::fuzz::CrLfLines(after);
  Require(lines == 3 && after.size() >= 2 && after.compare(after.size() - 2, 2, "\r\n") == 0,
          "exactly three lines");
  return 0;
}
