// The built program, driven through its standard input in a temporary working folder, as a user at
// a terminal would: answers in, message boxes out, real files read and written.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/messages.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
namespace msg = shiftlet::messages;
using shiftlet::testing::ListFolder;
using shiftlet::testing::ReadBytes;
using shiftlet::testing::TempFolder;
using shiftlet::testing::WriteBytes;
using Texts = std::vector<std::string>;

// examples/menu.qof converted, worked out by hand: kinds 1,0,4,3,2 become 2,0,4,5,3; "File",
// "Edit" and "Help" (positions 0-2) open menus 1-3, the top menu 0 maps to -1.
constexpr std::string_view kSampleConverted =
    "70\r\n"
    "e,0,File,2,1,,,0\r\n"
    "e,1,Edit,2,2,,,0\r\n"
    "e,2,Help,2,3,,,0\r\n"
    "e,3,Open...,0,open,,,1\r\n"
    "e,4,Save,0,save,,,2\r\n"
    "e,5,Save As...,0,saveas,,,3\r\n"
    "e,6,Recent files,4,,,,0\r\n"
    "e,7,Exit,5,quit,,,0\r\n"
    "e,8,Undo,0,undo,,,4\r\n"
    "e,9,Redo,0,redo,,,5\r\n"
    "e,10,Preferences,3,prefs,,,0\r\n"
    "e,11,Contents,0,help,,,6\r\n"
    "e,12,About Velmora,0,about,,,7\r\n"
    "n, 0 ,-1 , 0 \r\n"
    "n, 1 ,-1 , 1 \r\n"
    "n, 2 ,-1 , 2 \r\n"
    "n, 3 , 0 , 3 \r\n"
    "n, 4 , 0 , 4 \r\n"
    "n, 5 , 0 , 5 \r\n"
    "n, 6 , 0 , 6 \r\n"
    "n, 7 , 0 , 7 \r\n"
    "n, 8 , 1 , 8 \r\n"
    "n, 9 , 1 , 9 \r\n"
    "n, 10 , 1 , 10 \r\n"
    "n, 11 , 2 , 11 \r\n"
    "n, 12 , 2 , 12 \r\n"
    "x\r\n";

// Answers: both questions Yes, Enter on every OK box, each picker's proposal taken.
constexpr std::string_view kAllDefaults = "\n\n\n\n\n\n\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// The texts of the message boxes, in the order they were shown.
Texts Boxes(const std::string& out) {
  const std::string caption = "\n[" + std::string(msg::kCaption) + "]\n";
  Texts texts;
  for (auto at = out.find(caption); at != std::string::npos; at = out.find(caption, at + 1)) {
    const auto start = at + caption.size();
    texts.push_back(out.substr(start, out.find('\n', start) - start));
  }
  return texts;
}

// The paths the pickers proposed, in order.
Texts Proposals(const std::string& out) {
  const std::string prompt = "File name [";
  Texts paths;
  for (auto at = out.find(prompt); at != std::string::npos; at = out.find(prompt, at + 1)) {
    const auto start = at + prompt.size();
    paths.push_back(out.substr(start, out.find("]: ", start) - start));
  }
  return paths;
}

const Texts kUntilSource{msg::kAskInstalled, msg::kAskContinue, msg::kSelectSource};
const Texts kUntilDestination{msg::kAskInstalled, msg::kAskContinue, msg::kSelectSource,
                              msg::kSelectDestination};

Texts Then(Texts texts, const char* last) {
  texts.push_back(last);
  return texts;
}

class ShiftletProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const auto& entry : fs::directory_iterator(SHIFTLET_EXAMPLES_DIR)) {
      fs::copy_file(entry.path(), work_.Path() / entry.path().filename());
    }
    sampleMenu_ = ReadBytes(Work("menu.qof"));
    sampleConfiguration_ = ReadBytes(Work("default.qcf"));
  }

  std::string Work(std::string_view name) const { return work_ / name; }
  // The working folder as the program sees it, symbolic links resolved.
  std::string Shown(std::string_view name) const {
    return (fs::canonical(work_.Path()) / name).string();
  }

  Outcome RunWith(std::string_view input) const {
    WriteBytes(io_ / "in", input);
    // SHIFTLET_PROGRAM_WRAPPER runs the program under a checker, such as valgrind.
    const char* wrapper = std::getenv("SHIFTLET_PROGRAM_WRAPPER");
    const std::string command = "cd '" + work_.Path().string() + "' && exec " +
                                (wrapper != nullptr ? wrapper : "") + " '" SHIFTLET_PROGRAM "' <'" +
                                (io_ / "in") + "' >'" + (io_ / "out") + "' 2>'" + (io_ / "err") +
                                "'";
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadBytes(io_ / "out");
    run.err = ReadBytes(io_ / "err");
    return run;
  }

  // The working folder still holds the samples only, byte for byte.
  void ExpectSamplesUntouched() const {
    EXPECT_EQ(ListFolder(work_.Path()), "default.qcf menu.qof");
    EXPECT_EQ(ReadBytes(Work("menu.qof")), sampleMenu_);
    EXPECT_EQ(ReadBytes(Work("default.qcf")), sampleConfiguration_);
  }

  TempFolder work_;
  TempFolder io_;  // the program's input and output, kept out of its working folder
  std::string sampleMenu_;
  std::string sampleConfiguration_;
};

TEST_F(ShiftletProgramTest, DefaultsConvertTheSampleAndPointItsConfigurationAtTheNewFile) {
  const Outcome run = RunWith(kAllDefaults);

  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kSuccess));
  const std::string folder = fs::canonical(work_.Path()).string();
  EXPECT_NE(run.out.find("\n[" + std::string(msg::kSourceTitle) +
                         "]\nFiles of type: QOF file (*.qof)\nFolder: " + folder + "\nFile name [" +
                         Shown("menu.qof") + "]: "),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n[" + std::string(msg::kDestinationTitle) +
                         "]\nFiles of type: QNF file (*.qnf)\nFolder: " + folder + "\nFile name [" +
                         Shown("migrated.menu.qnf") + "]: "),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.err, "");

  EXPECT_EQ(ListFolder(work_.Path()), "default.qcf menu.qof migrated.menu.qnf");
  EXPECT_EQ(ReadBytes(Work("migrated.menu.qnf")), kSampleConverted);
  EXPECT_EQ(ReadBytes(Work("default.qcf")), "migrated.menu.qnf\r\nclassic\r\nen-GB\r\n");
  EXPECT_EQ(ReadBytes(Work("menu.qof")), sampleMenu_);
}

TEST_F(ShiftletProgramTest, TypedDestinationIsRelativeToTheShownFolderAndUpdatesItsConfiguration) {
  fs::create_directory(work_.Path() / "out");
  WriteBytes(Work("out/default.qcf"), "\"old.qnf\",\"modern\",\"de-DE\"\r\n");

  const Outcome run = RunWith("\n\n\n\n\nout/new.qnf\n\n");

  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kSuccess));
  EXPECT_EQ(ReadBytes(Work("out/new.qnf")), kSampleConverted);
  EXPECT_EQ(ReadBytes(Work("out/default.qcf")), "new.qnf\r\nmodern\r\nde-DE\r\n");
  EXPECT_EQ(ListFolder(work_.Path() / "out"), "default.qcf new.qnf");
  // The configuration beside the old file is not the one updated.
  EXPECT_EQ(ListFolder(work_.Path()), "default.qcf menu.qof out");
  EXPECT_EQ(ReadBytes(Work("default.qcf")), sampleConfiguration_);
}

TEST_F(ShiftletProgramTest, TypedSourceNamesTheProposedDestinationAndNoConfigurationIsCreated) {
  fs::create_directory(work_.Path() / "old");
  fs::rename(Work("menu.qof"), Work("old/club.qof"));
  fs::remove(Work("default.qcf"));

  const Outcome run = RunWith("\n\n\nold/club.qof\n\n\n\n");

  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Proposals(run.out), (Texts{Shown("menu.qof"), Shown("migrated.club.qnf")}));
  EXPECT_EQ(ReadBytes(Work("migrated.club.qnf")), kSampleConverted);
  EXPECT_EQ(ListFolder(work_.Path()), "migrated.club.qnf old");
  EXPECT_EQ(ListFolder(work_.Path() / "old"), "club.qof");
}

TEST_F(ShiftletProgramTest, QuestionsTakeYesOrNoInAnyCaseAndAskAgainOtherwise) {
  const Outcome run = RunWith("maybe\nYES\nyes please\nNo\n");

  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(Boxes(run.out), (Texts{msg::kAskInstalled, msg::kAskContinue}));
  std::size_t prompts = 0;
  for (auto at = run.out.find("[Yes/No]"); at != std::string::npos;
       at = run.out.find("[Yes/No]", at + 1)) {
    ++prompts;
  }
  EXPECT_EQ(prompts, 4u);
  ExpectSamplesUntouched();
}

TEST_F(ShiftletProgramTest, DecliningEndsWithStatusTwoBeforeAnyPicker) {
  const struct {
    const char* what;
    std::string_view input;
    Texts boxes;
  } cases[] = {
      {"No to the first question", "n\n\n", {msg::kAskInstalled, msg::kInstallFirst}},
      {"no input at all", "", {msg::kAskInstalled, msg::kInstallFirst}},
      {"No to the second question", "y\nno\n\n\n", {msg::kAskInstalled, msg::kAskContinue}},
      {"input ends at the second question", "\n", {msg::kAskInstalled, msg::kAskContinue}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome run = RunWith(c.input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Boxes(run.out), c.boxes);
    EXPECT_EQ(Proposals(run.out), Texts{});
    ExpectSamplesUntouched();
  }
}

TEST_F(ShiftletProgramTest, CancelledPickerEndsInTheFailureMessage) {
  // The first picker meets the end of the input; then the second one does.
  Outcome run = RunWith("\n\n\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Boxes(run.out), Then(kUntilSource, msg::kFailure));
  ExpectSamplesUntouched();

  run = RunWith("\n\n\n\n\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kFailure));
  ExpectSamplesUntouched();  // nothing half-written is left behind either
}

TEST_F(ShiftletProgramTest, BadOldFileEndsInFailureAndChangesNothing) {
  std::string tooLong = "1\r\n";
  for (int i = 0; i < 302; ++i) {
    tooLong += "\"Item\",0,0,\"v\",0\r\n";
  }
  const struct {
    const char* what;
    std::string bytes;
    bool failsWhileWriting;
  } cases[] = {
      {"empty file", "", false},
      {"incomplete item", "1\r\n\"File\",1,0\r\n", false},
      {"text as Extra", "1\r\n\"File\",0,0,\"open\",abc\r\n", false},
      {"302 items", tooLong, false},
      {"submenu number that is not a number", "1\r\n\"File\",1,0,\"ab\",0\r\n", true},
      {"submenu number past 300", "1\r\n\"File\",1,0,\"301\",0\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(Work("menu.qof"), c.bytes);
    sampleMenu_ = c.bytes;
    const Outcome run = RunWith(kAllDefaults);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Boxes(run.out),
              Then(c.failsWhileWriting ? kUntilDestination : kUntilSource, msg::kFailure));
    ExpectSamplesUntouched();
  }
}

TEST_F(ShiftletProgramTest, FailureWhileWritingKeepsAnExistingDestination) {
  WriteBytes(Work("menu.qof"), "1\r\n\"File\",1,0,\"ab\",0\r\n");
  WriteBytes(Work("migrated.menu.qnf"), "earlier conversion\r\n");

  const Outcome run = RunWith(kAllDefaults);

  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kFailure));
  EXPECT_EQ(ReadBytes(Work("migrated.menu.qnf")), "earlier conversion\r\n");
  EXPECT_EQ(ReadBytes(Work("default.qcf")), sampleConfiguration_);
  EXPECT_EQ(ListFolder(work_.Path()), "default.qcf menu.qof migrated.menu.qnf");
}

TEST_F(ShiftletProgramTest, ConfigurationThatCannotBeUpdatedIsLeftAsItWas) {
  // Too few fields to read; then complete but read-only.
  WriteBytes(Work("default.qcf"), "\"menu.qnf\"\r\n");
  Outcome run = RunWith(kAllDefaults);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kFailure));
  EXPECT_EQ(ReadBytes(Work("default.qcf")), "\"menu.qnf\"\r\n");
  EXPECT_EQ(ListFolder(work_.Path()).find(".tmp"), std::string::npos);

  WriteBytes(Work("default.qcf"), sampleConfiguration_);
  fs::permissions(Work("default.qcf"), fs::perms::owner_read);
  run = RunWith(kAllDefaults);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Boxes(run.out), Then(kUntilDestination, msg::kFailure));
  EXPECT_EQ(ReadBytes(Work("default.qcf")), sampleConfiguration_);
  EXPECT_EQ(ListFolder(work_.Path()).find(".tmp"), std::string::npos);
}

}  // namespace
