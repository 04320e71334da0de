// The quiet run's report of what a successful step left on the disk.

#include "cli/unattended_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/dialogue.h"
#include "driver/messages.h"
#include "driver/scripted_platform.h"
#include "platform/system_file_layer.h"
#include "support/faulty_file_layer.h"
#include "support/temp_folder.h"

namespace shiftlet {
namespace {

using testing::ReadBytes;
using testing::ScriptedPlatform;
using testing::TempFolder;
using testing::WriteBytes;

// The system's files, where each replace leaves its target's old content behind, as a replace
// whose backup could not be removed does.
class LeavingFileLayer final : public FileLayer {
 public:
  std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override {
    return real_->OpenForReading(path);
  }
  std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override {
    return real_->OpenToCompare(path);
  }
  void Remove(const std::string& path) override { real_->Remove(path); }
  void CheckWritableInPlace(const std::string& path) override { real_->CheckWritableInPlace(path); }
  std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override {
    return real_->CreateExclusive(path);
  }
  void Replace(const std::string& source, const std::string& target) override {
    real_->Replace(source, target);
    leftBehind_.push_back("the old content of " + target + " is left in " + target + ".old");
  }
  void RemoveQuietly(const std::string& path) noexcept override { real_->RemoveQuietly(path); }
  std::string EntryKey(const std::string& path) override { return real_->EntryKey(path); }
  std::vector<std::string> TakeFilesLeftBehind() override { return std::exchange(leftBehind_, {}); }

 private:
  std::unique_ptr<FileLayer> real_ = MakeSystemFileLayer();
  std::vector<std::string> leftBehind_;
};

TEST(QuietRunTest, WhatAConversionLeftBehindIsAWarningAndInTheLog) {
  TempFolder folder;
  WriteBytes(folder / "menu.qof", "1\r\n\"File\",1,0,\"1\",0\r\n");
  WriteBytes(folder / "default.qcf", "\"menu.qnf\",\"classic\",\"en-GB\"\r\n");
  LeavingFileLayer files;
  ScriptedPlatform system(files);
  CommandLine command;
  command.mode = CommandLine::Mode::kQuiet;
  command.source = folder / "menu.qof";
  command.destination = folder / "new.qnf";
  command.log = folder / "shiftlet.log";
  std::ostringstream out;
  std::ostringstream err;
  StreamRunOutput output(out, err);

  EXPECT_EQ(0, RunFromCommandLine(system, command, "shiftlet", output));

  const std::string configuration = folder / "default.qcf";
  EXPECT_EQ("new.qnf\r\nclassic\r\nen-GB\r\n", ReadBytes(configuration));
  EXPECT_EQ("converted " + (folder / "menu.qof") + " to " + (folder / "new.qnf") +
                ": 1 item; default.qcf updated\n",
            out.str());
  const std::string warning =
      "warning: the old content of " + configuration + " is left in " + configuration + ".old";
  const std::string backup = configuration + ".before-shiftlet";
  EXPECT_EQ("warning: the old content of " + (folder / "new.qnf") + " is left in " +
                (folder / "new.qnf") + ".old\nwarning: the old content of " + backup +
                " is left in " + backup + ".old\n" + warning + "\n",
            err.str());
  const std::string log = ReadBytes(folder / "shiftlet.log");
  EXPECT_NE(std::string::npos, log.find("\tconverted\t1 item; default.qcf updated; warning: "))
      << log;
  EXPECT_NE(std::string::npos, log.find(warning)) << log;
}

// The dialogue says it too: after the success message, one box with a warning icon names what
// was left behind; the dialogue before it is as it always is.
TEST(QuietRunTest, WhatTheDialogueLeftBehindIsOneWarningBoxAfterTheSuccessMessage) {
  TempFolder folder;
  WriteBytes(folder / "menu.qof", "1\r\n\"File\",1,0,\"1\",0\r\n");
  LeavingFileLayer files;
  ScriptedPlatform platform(files);
  platform.answers = {true, true};
#ifdef _WIN32
  const std::string name = "new.qnf";  // Windows takes no control character in a name
  const std::string shown = folder / name;
#else
  const std::string name = "n\x1b.qnf";
  const std::string shown = folder / "n\\x1B.qnf";
#endif
  platform.picks = {folder / "menu.qof", folder / name};

  EXPECT_EQ(RunEnd::kSucceeded, RunDialogue(platform));

  ASSERT_LE(2U, platform.transcript.size());
  EXPECT_EQ(std::string("Ok: ") + messages::kSuccess, platform.transcript.end()[-2]);
  EXPECT_EQ("Warning: The menu file was converted, but the old content of " + shown +
                " is left in " + shown + ".old.",
            platform.transcript.back());
  EXPECT_EQ(std::vector<std::string>{}, files.TakeFilesLeftBehind());

  // Nothing left behind: the dialogue ends at the success message.
  const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
  ScriptedPlatform plain(*system);
  plain.answers = {true, true};
  plain.picks = {folder / "menu.qof", folder / "other.qnf"};
  EXPECT_EQ(RunEnd::kSucceeded, RunDialogue(plain));
  EXPECT_EQ(std::string("Ok: ") + messages::kSuccess, plain.transcript.back());
}

// A file another program still holds after the wait ends the run with the exit status deployment
// systems retry later, naming the file and its holder, and keeping what was complete.
TEST(QuietRunTest, AFileStillHeldEndsInTryAgainLater) {
  std::size_t held = 0;
  for (const bool learning : {true, false}) {
    TempFolder folder;
    WriteBytes(folder / "menu.qof", "1\r\n\"File\",1,0,\"1\",0\r\n");
    WriteBytes(folder / "default.qcf", "menu.qnf,classic,en-GB\r\n");
    testing::FaultyFileLayer files;
    files.FailCall(held, /*inUse=*/true);
    ScriptedPlatform system(files);
    CommandLine command;
    command.mode = CommandLine::Mode::kQuiet;
    command.source = folder / "menu.qof";
    command.destination = folder / "new.qnf";
    command.log = folder / "shiftlet.log";
    std::ostringstream out;
    std::ostringstream err;
    StreamRunOutput output(out, err);
    const int status = RunFromCommandLine(system, command, "shiftlet", output);
    if (learning) {
      ASSERT_EQ(0, status) << err.str();
      const std::vector<std::string>& calls = files.Calls();
      const auto replace =
          std::find(calls.begin(), calls.end(), "replace " + (folder / "default.qcf"));
      ASSERT_NE(calls.end(), replace);
      held = static_cast<std::size_t>(replace - calls.begin()) + 1;
      continue;
    }
    EXPECT_EQ(kExitTryAgainLater, status);
    EXPECT_EQ("", out.str());
    EXPECT_EQ("error: " + (folder / "default.qcf") +
                  " is in use by Velmora (process 1234); run it again later\n",
              err.str());
    EXPECT_EQ("menu.qnf,classic,en-GB\r\n", ReadBytes(folder / "default.qcf"));
    EXPECT_NE("", ReadBytes(folder / "new.qnf"));  // complete, for the next run to find
    const std::string log = ReadBytes(folder / "shiftlet.log");
    EXPECT_NE(std::string::npos, log.find("\tfailed\t" + (folder / "default.qcf") + " is in use"))
        << log;
  }
}

}  // namespace
}  // namespace shiftlet
