// The check against a quiet run, on the same files: the check is that run with its writes kept in
// memory, so for any old file, any name and any default.qcf it gives the run's exit status and
// the run's own reason, and it changes no file.
//
// Input: the old file's bytes; after a last 0xFF byte, if there is one, a byte choosing the old
// file's name (the first 0 to 8 characters of "menu.qof", short ones included) and the bytes of
// default.qcf beside the new file (none without the 0xFF).

#include <cstddef>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>

#include "cli/check_report.h"
#include "cli/command_line.h"
#include "cli/unattended_run.h"
#include "fuzz/fuzz_support.h"
#include "paths/path_text.h"
#include "paths/shown_text.h"
#include "support/memory_file_layer.h"

namespace {

using shiftlet::fuzz::Require;

constexpr const char* kFolder = "/v";

// Files in memory in the one folder /v, where relative paths start. Boxes and pickers are never
// asked: both runs answer them by themselves.
class MemoryPlatform final : public shiftlet::Platform {
 public:
  shiftlet::MessageBoxes& Boxes() override {
    Require(false, "a box was shown");
    std::abort();
  }
  shiftlet::FilePicker& Picker() override {
    Require(false, "a picker was shown");
    std::abort();
  }
  std::unique_ptr<shiftlet::FileSystemObject> CreateFileSystemObject() override {
    return std::make_unique<shiftlet::fuzz::MemoryFileSystemObject>(memory);
  }
  shiftlet::FileLayer& Files() override { return memory; }
  char PathSeparator() const override { return '/'; }
  std::string ProposedPath(const std::string&, const std::string& name) override {
    return FullPath(name);
  }
  std::string FullPath(const std::string& path) override {
    return path.empty() || path[0] == '/' ? path : std::string(kFolder) + "/" + path;
  }
  const shiftlet::CodePage& NameCodePage() const override { return codePage_; }

  shiftlet::testing::MemoryFileLayer memory;

 private:
  shiftlet::CodePage codePage_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t mark = input.rfind('\xff');
  const std::string menu = input.substr(0, mark);
  std::string name = "menu.qof";
  MemoryPlatform platform;
  if (mark != std::string::npos && mark + 1 < input.size()) {
    name.resize(static_cast<unsigned char>(input[mark + 1]) % 9);
    platform.memory.files["/v/default.qcf"] = shiftlet::MemoryBytes(input.substr(mark + 2));
  }
  platform.memory.files["/v/" + name] = shiftlet::MemoryBytes(menu);
  const std::map<std::string, shiftlet::MemoryBytes> before = platform.memory.files;

  const shiftlet::UnattendedRecord check = shiftlet::RunUnattended(
      platform, {shiftlet::UnattendedJob::kConvert, name, "new.qnf", false, {}}, true);
  Require(platform.memory.files == before, "the check changes no file");

  shiftlet::CommandLine command;
  command.mode = shiftlet::CommandLine::Mode::kQuiet;
  command.source = name;
  command.destination = "new.qnf";
  std::ostringstream out;
  std::ostringstream err;
  shiftlet::StreamRunOutput output(out, err);
  const int status = shiftlet::RunFromCommandLine(platform, command, "shiftlet", output);

  Require(check.ExitStatus() == status, "the check's verdict is the quiet run's exit status");
  if (status != 0) {
    Require(err.str() ==
                "error: " + shiftlet::ShownText(check.outcome.said, platform.NameCodePage()) + "\n",
            "the check fails for the quiet run's reason");
    return 0;
  }
  const std::string written = platform.memory.files.at("/v/new.qnf").Text();
  Require(check.run.newFileLines == static_cast<std::int64_t>(shiftlet::fuzz::CrLfLines(written)),
          "the check counts the lines the run writes");
  const std::string report = shiftlet::CheckReport(check, platform.NameCodePage());
  const std::string tree = report.substr(report.find("Menus as Velmora 1.1 will show them:\n"));
  std::int64_t shownItems = 0;
  for (std::size_t at = tree.find("\n "); at != std::string::npos; at = tree.find("\n ", at + 1)) {
    ++shownItems;
  }
  Require(shownItems == check.run.items, "the check's tree shows every item once");
  return 0;
}
