// The built program, driven through its standard input in a temporary working folder, as a user at
// a terminal would: answers in, message boxes out, real files read and written.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
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

// The four fields after the time of each line of a log.
Texts LogFields(const std::string& lines) {
  const std::regex kLine(
      "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d\t([^\t]*)\t([^\t]*)\t([^\t]*)\t(["
      "^\t\n]*)\n");
  Texts fields;
  for (auto it = std::sregex_iterator(lines.begin(), lines.end(), kLine);
       it != std::sregex_iterator(); ++it) {
    for (std::size_t group = 1; group <= 4; ++group) {
      fields.push_back((*it)[group].str());
    }
  }
  return fields;
}

// The first control byte in `text` other than those in `allowed`, as a number; -1 if none.
int RawControlByte(std::string_view text, std::string_view allowed) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 || byte == 0x7F) && allowed.find(c) == std::string_view::npos) {
      return byte;
    }
  }
  return -1;
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

  // `runner`, when given, starts the program as another user (see UnprivilegedRunner).
  Outcome RunWith(std::string_view input, const std::string& args = "",
                  const std::string& runner = "") const {
    WriteBytes(io_ / "in", input);
    // SHIFTLET_PROGRAM_WRAPPER runs the program under a checker, such as valgrind.
    const char* wrapper = std::getenv("SHIFTLET_PROGRAM_WRAPPER");
    const std::string command = "cd '" + work_.Path().string() + "' && exec " + runner + " " +
                                (wrapper != nullptr ? wrapper : "") + " '" SHIFTLET_PROGRAM "' " +
                                args + " <'" + (io_ / "in") + "' >'" + (io_ / "out") + "' 2>'" +
                                (io_ / "err") + "'";
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

  EXPECT_EQ(ListFolder(work_.Path()),
            "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf");
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
  EXPECT_EQ(ListFolder(work_.Path() / "out"), "default.qcf default.qcf.before-shiftlet new.qnf");
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

// A destination that exists and differs may hold a user's changes: replaced only on Yes, asked
// once the conversion is whole and before it takes the file's place, with No under Enter; a
// conversion that fails asks nothing and keeps it too.
TEST_F(ShiftletProgramTest, ExistingDestinationThatDiffersIsReplacedOnlyOnYes) {
  const std::string earlier = "earlier conversion\r\n";
  const std::string question =
      " already exists and differs from the converted menus. It may hold "
      "changes made in Velmora 1.1.";
  const struct {
    const char* what;
    std::string menu;  // empty: the sample
    std::string there;
    std::string input;
    int status;
    const char* lastBox;  // after the question, if any
    std::string destination;
    std::string configuration;
    bool asked = true;
  } cases[] = {
      {"Enter is No", "", earlier, "\n\n\n\n\n\n\n", 2, nullptr, earlier, sampleConfiguration_},
      {"n is No", "", earlier, "\n\n\n\n\n\nn\n", 2, nullptr, earlier, sampleConfiguration_},
      {"Yes replaces it", "", earlier, "\n\n\n\n\n\ny\n\n", 0, msg::kSuccess,
       std::string(kSampleConverted), "migrated.menu.qnf\r\nclassic\r\nen-GB\r\n"},
      {"a conversion that fails asks nothing", "1\r\n\"File\",1,0,\"ab\",0\r\n", earlier,
       "\n\n\n\n\n\n\n", 1, msg::kFailure, earlier, sampleConfiguration_, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(Work("menu.qof"), c.menu.empty() ? sampleMenu_ : c.menu);
    WriteBytes(Work("migrated.menu.qnf"), c.there);
    WriteBytes(Work("default.qcf"), sampleConfiguration_);
    fs::remove(Work("default.qcf.before-shiftlet"));

    const Outcome run = RunWith(c.input);

    EXPECT_EQ(run.status, c.status);
    Texts boxes = kUntilDestination;
    if (c.asked) {
      boxes.push_back(Shown("migrated.menu.qnf") + question);
    }
    EXPECT_EQ(Boxes(run.out), c.lastBox ? Then(boxes, c.lastBox) : boxes);
    EXPECT_EQ(c.asked, run.out.find(question + "\n\nReplace it?\n[Yes/No] (Enter = No) ") !=
                           std::string::npos)
        << run.out;
    EXPECT_EQ(ReadBytes(Work("migrated.menu.qnf")), c.destination);
    EXPECT_EQ(ReadBytes(Work("default.qcf")), c.configuration);
    EXPECT_EQ(ListFolder(work_.Path()).find(".tmp"), std::string::npos);
  }
  // A destination that holds this conversion already is no question, and is not written again.
  WriteBytes(Work("menu.qof"), sampleMenu_);
  WriteBytes(Work("migrated.menu.qnf"), kSampleConverted);
  const Outcome again = RunWith(kAllDefaults);
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(Boxes(again.out), Then(kUntilDestination, msg::kSuccess));
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

// --quiet and --check: no box, no question, no picker; one line out, or a report; the same files
// and bytes as the interactive run. Every row ends with no temporary file left behind.
TEST_F(ShiftletProgramTest, CommandLineRunsAnswerThemselvesOrOnlyLook) {
  const std::string badKind = "1\r\n\"File\",70000,0,\"\",0\r\n";
  const std::string badMenuNumber = "1\r\n\"File\",1,0,\"ab\",0\r\n";
  const std::string commaInText = "1\r\n\"File, Open\",0,0,\"\",0\r\n";
  const std::string converted = "migrated.menu.qnf\r\nclassic\r\nen-GB\r\n";
  const struct {
    const char* what;
    std::string args;
    std::string menu;  // the old file's bytes; empty keeps the sample
    int status;
    std::string out;  // standard output exactly, or its start where the rest is the tree
    std::string err;
    std::string listing;
    std::string configuration;  // default.qcf afterwards
  } cases[] = {
      {"quiet with the proposals", "--quiet", "", 0,
       "converted " + Shown("menu.qof") + " to " + Shown("migrated.menu.qnf") +
           ": 13 items; default.qcf updated\n",
       "", "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", converted},
      {"quiet with relative paths, no configuration there",
       "--quiet --source menu.qof "
       "--destination sub/new.qnf",
       "", 0,
       "converted " + Shown("menu.qof") + " to " + Shown("sub/new.qnf") +
           ": 13 items; default.qcf not found, so none was written\n",
       "", "default.qcf menu.qof sub", sampleConfiguration_},
      {"quiet, with what a check would warn about", "--quiet", commaInText, 0,
       "converted " + Shown("menu.qof") + " to " + Shown("migrated.menu.qnf") +
           ": 1 item, 1 warning (shiftlet --check --source " + Shown("menu.qof") +
           " lists them); default.qcf updated\n",
       "", "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", converted},
      {"quiet, with warnings, to a destination of its own: the check named checks that run",
       "--quiet --destination new.qnf", commaInText, 0,
       "converted " + Shown("menu.qof") + " to " + Shown("new.qnf") +
           ": 1 item, 1 warning (shiftlet --check --source " + Shown("menu.qof") +
           " --destination " + Shown("new.qnf") + " lists them); default.qcf updated\n",
       "", "default.qcf default.qcf.before-shiftlet menu.qof new.qnf",
       "new.qnf\r\nclassic\r\nen-GB\r\n"},
      {"quiet, the old file fails while read", "--quiet", badKind, 1, "",
       "error: " + Shown("menu.qof") +
           " line 2, item 1, field 2 (old kind): 70000 does not fit in 16 bits\n",
       "default.qcf menu.qof", sampleConfiguration_},
      {"quiet, the old file fails while written", "--quiet --source menu.qof", badMenuNumber, 1, "",
       "error: " + Shown("menu.qof") +
           " line 2, item 1, field 4 (Value): menu number \"ab\" is not a number\n",
       "default.qcf menu.qof", sampleConfiguration_},
      {"quiet, the log cannot be opened", "--quiet --log no/such/run.log", "", 1, "",
       "error: cannot open the log no/such/run.log for appending: No such file or directory\n",
       "default.qcf menu.qof", sampleConfiguration_},
      {"check of the sample", "--check", "", 0,
       Shown("menu.qof") + ": 13 items in 4 menus\n" + Shown("menu.qof") +
           " converts.\nIt would write " + Shown("migrated.menu.qnf") +
           ": 28 lines.\nIt would update " + Shown("default.qcf") +
           ": its first line \"menu.qnf\" becomes \"migrated.menu.qnf\".\nIt would first keep it "
           "as it is in " +
           Shown("default.qcf.before-shiftlet") +
           ".\nMenus as Velmora 1.1 will show them:\n  item 1: File\n    item 4: Open...\n",
       "", "default.qcf menu.qof", sampleConfiguration_},
      {"check of a file that fails only while written", "--check --source menu.qof", badMenuNumber,
       1,
       Shown("menu.qof") + ": 1 item in 1 menu\nerror: " + Shown("menu.qof") +
           " line 2, item 1, field 4 (Value): menu number \"ab\" is not a number\n" +
           Shown("menu.qof") + " does not convert.\n",
       "", "default.qcf menu.qof", sampleConfiguration_},
      {"version", "--version", "", 0,
       "Shiftlet 0.02\nConverts old QOF file from Velmora 1.0a to new QNF file compatible with "
       "Velmora 1.1\n",
       "", "default.qcf menu.qof", sampleConfiguration_},
      {"help", "--help", "", 0,
       "usage: shiftlet [PATH]\n       shiftlet --quiet [--replace] [--source PATH]", "",
       "default.qcf menu.qof", sampleConfiguration_},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : fs::directory_iterator(work_.Path())) {
      fs::remove_all(entry.path());
    }
    WriteBytes(Work("menu.qof"), c.menu.empty() ? sampleMenu_ : c.menu);
    WriteBytes(Work("default.qcf"), sampleConfiguration_);
    fs::create_directory(work_.Path() / "sub");
    if (c.listing.find("sub") == std::string::npos) {
      fs::remove(work_.Path() / "sub");
    }

    const Outcome run = RunWith("", c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(Boxes(run.out), Texts{});
    EXPECT_EQ(ListFolder(work_.Path()), c.listing);
    EXPECT_EQ(ReadBytes(Work("default.qcf")), c.configuration);
    if (c.status == 0 && c.args.find("--quiet") != std::string::npos && c.menu.empty()) {
      const std::string destination = c.args.find("sub/") != std::string::npos
                                          ? Work("sub/new.qnf")
                                          : Work("migrated.menu.qnf");
      EXPECT_EQ(ReadBytes(destination), kSampleConverted);
    }
  }
}

TEST_F(ShiftletProgramTest, BadCommandLinesConvertNothingAndExitWith64) {
  for (const char* args :
       {"--bogus", "menu.qof other.qof", "--quiet --check", "--quiet menu.qof", "--log run.log",
        "--source menu.qof", "--quiet --source", "--version --quiet"}) {
    SCOPED_TRACE(args);
    const Outcome run = RunWith("", args);
    EXPECT_EQ(run.status, 64);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("shiftlet: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\nusage: shiftlet [PATH]\n"), std::string::npos) << run.err;
    ExpectSamplesUntouched();
  }
}

// How to start the program as a user whom permission bits stop: nothing before it when the tests
// do not run as root, setpriv as "nobody" when they do; none when that user cannot run it.
std::optional<std::string> UnprivilegedRunner() {
  if (::geteuid() != 0) {
    return "";
  }
  const std::string runner = "setpriv --reuid=65534 --regid=65534 --clear-groups";
  if (std::system((runner + " test -x '" SHIFTLET_PROGRAM "' 2>/dev/null").c_str()) != 0) {
    return std::nullopt;
  }
  return runner;
}

// A name of `bytes` bytes, ending in ".qnf".
std::string NameOfSize(std::size_t bytes) {
  return std::string(bytes - 4, 'n') + ".qnf";
}

// The check is the quiet run with its writes kept in memory: it fails exactly where the run fails,
// with the run's own reason, and changes nothing.
TEST_F(ShiftletProgramTest, CheckAndQuietRunAgreeOnEveryReason) {
  // Root may create files anywhere: the rows about rights run as a user who may not.
  const std::optional<std::string> unprivileged = UnprivilegedRunner();
  fs::permissions(work_.Path(), fs::perms{0755});
  const auto lockedFolder = [&](bool withConfiguration) {
    fs::create_directory(work_.Path() / "locked");
    if (withConfiguration) {
      WriteBytes(Work("locked/default.qcf"), sampleConfiguration_);
      fs::permissions(Work("locked/default.qcf"), fs::perms{0444});
    }
    fs::permissions(work_.Path() / "locked", fs::perms{0555});
  };
  const std::string lockedReason = "cannot create files in " + Shown("locked") +
                                   ": Permission denied; run it as the user the conversion will "
                                   "run as";
  const std::string tooLong = "its name is too long for the files made beside it";
  // A folder anyone may add to, where only a file's owner may replace it, holding a default.qcf
  // anyone may write, which belongs to root.
  const auto stickyFolder = [&] {
    fs::create_directory(work_.Path() / "shared");
    WriteBytes(Work("shared/default.qcf"), sampleConfiguration_);
    fs::permissions(Work("shared/default.qcf"), fs::perms{0666});
    fs::permissions(work_.Path() / "shared", fs::perms{01777});
  };
  const struct {
    const char* what;
    std::string paths;
    std::function<void()> setUp;
    std::string says = "";  // what the line must say, beyond agreeing (a check that converts: its
                            // report)
    bool unprivileged = false;
    bool otherOwner = false;  // the files set up must be another user's than the runner's
    mode_t umask = 022;
    int status = 1;
    bool keepsConfiguration = true;  // default.qcf is not the file written first
  } cases[] = {
      {"a three-character name", "--source abc --destination out.qnf",
       [&] { fs::copy_file(Work("menu.qof"), Work("abc")); }},
      {"a default.qcf of two fields", "", [&] { WriteBytes(Work("default.qcf"), "a\r\nb\r\n"); }},
      {"a missing destination folder", "--destination none/new.qnf", [] {}},
      {"a read-only destination", "--destination ro.qnf",
       [&] {
         WriteBytes(Work("ro.qnf"), "old");
         fs::permissions(Work("ro.qnf"), fs::perms::owner_read);
       }},
      {"a fault in the old file", "", [&] { WriteBytes(Work("menu.qof"), "1\r\n\"A\",0,0\r\n"); }},
      {"a folder the runner may not create files in", "--destination locked/new.qnf",
       [&] { lockedFolder(false); }, lockedReason, true},
      {"the same with a default.qcf the runner may not write", "--destination locked/new.qnf",
       [&] { lockedFolder(true); }, lockedReason, true},
      {"a name of 244 bytes", "--destination " + NameOfSize(244), [] {}, tooLong},
      {"a name of 250 bytes", "--destination " + NameOfSize(250), [] {}, tooLong},
      {"a name of 255 bytes", "--destination " + NameOfSize(255), [] {}, tooLong},
      {"a sticky folder, where default.qcf is another user's", "--destination shared/new.qnf",
       stickyFolder, "cannot replace " + Shown("shared/default.qcf") + ": Operation not permitted",
       true, true},
      // A default.qcf that is a link is another file's bytes: never copied into the backup nor
      // rewritten, however the run is elevated above whoever made the link.
      {"default.qcf a link to a file elsewhere", "",
       [&] {
         fs::create_directory(work_.Path() / "elsewhere");
         fs::rename(Work("default.qcf"), Work("elsewhere/secret.txt"));
         fs::create_symlink("elsewhere/secret.txt", Work("default.qcf"));
       },
       Shown("default.qcf") + " is a link to another file, and Shiftlet does not rewrite a "
                              "configuration that lives elsewhere; nothing was changed"},
      // The new menu file is never default.qcf or its backup, whichever name reaches it, even
      // with --replace.
      {"default.qcf a link to the destination, empty so far", "--replace",
       [&] {
         WriteBytes(Work("migrated.menu.qnf"), "");
         fs::remove(Work("default.qcf"));
         fs::create_symlink("migrated.menu.qnf", Work("default.qcf"));
       },
       "the new menu file cannot be " + Shown("migrated.menu.qnf") + ": it is default.qcf"},
      {"the destination default.qcf, a link to a file elsewhere",
       "--replace --destination default.qcf",
       [&] {
         fs::create_directory(work_.Path() / "elsewhere");
         fs::rename(Work("default.qcf"), Work("elsewhere/default.qcf"));
         fs::create_symlink("elsewhere/default.qcf", Work("default.qcf"));
       },
       "the new menu file cannot be " + Shown("default.qcf") + ": it is default.qcf"},
      {"the destination the backup of default.qcf", "--destination default.qcf.before-shiftlet",
       [] {}, "the new menu file cannot be " + Shown("default.qcf.before-shiftlet")},
  };
  std::string skipped;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if ((c.unprivileged && !unprivileged) || (c.otherOwner && ::geteuid() != 0)) {
      skipped += std::string(skipped.empty() ? "" : "; ") + c.what;
      continue;
    }
    const std::string runner = c.unprivileged ? *unprivileged : "";
    for (const auto& entry : fs::directory_iterator(work_.Path())) {
      if (!entry.is_symlink()) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
      }
      fs::remove_all(entry.path());
    }
    WriteBytes(Work("menu.qof"), sampleMenu_);
    WriteBytes(Work("default.qcf"), sampleConfiguration_);
    c.setUp();
    const std::string before = ListFolder(work_.Path());
    const std::string configuration = ReadBytes(Work("default.qcf"));

    const mode_t mask = ::umask(c.umask);
    const Outcome check = RunWith("", "--check " + c.paths, runner);
    EXPECT_EQ(ListFolder(work_.Path()), before);
    const Outcome quiet = RunWith("", "--quiet " + c.paths, runner);
    ::umask(mask);
    EXPECT_EQ(check.status, c.status);
    EXPECT_EQ(quiet.status, c.status);
    EXPECT_EQ(ListFolder(work_.Path()).find(".tmp"), std::string::npos);
    if (c.status == 0) {
      EXPECT_EQ(quiet.err, "");
      EXPECT_NE(check.out.find(c.says), std::string::npos) << check.out;
      continue;
    }
    ASSERT_EQ(quiet.err.rfind("error: ", 0), 0u) << quiet.err;
    EXPECT_NE(check.out.find("\n" + quiet.err), std::string::npos) << check.out << quiet.err;
    EXPECT_NE(quiet.err.find(c.says), std::string::npos) << quiet.err;
    if (!c.says.empty()) {
      EXPECT_EQ(ListFolder(work_.Path()), before);  // these fail before anything is written here
    }
    if (c.keepsConfiguration) {
      EXPECT_EQ(ReadBytes(Work("default.qcf")), configuration);
    }
  }
  // The longest name that leaves room for the temporary file's tag still converts.
  const std::string longest = NameOfSize(255 - 13);
  EXPECT_EQ(RunWith("", "--check --destination " + longest).status, 0);
  EXPECT_EQ(RunWith("", "--quiet --destination " + longest).status, 0);
  EXPECT_EQ(ReadBytes(Work(longest)), kSampleConverted);
  if (!skipped.empty()) {
    GTEST_SKIP() << "not run: " << skipped
                 << " (as root, setpriv could not run the program as an unprivileged user)";
  }
}

// Run again and again, as deployment systems do: each run finds where the PC stands and changes
// only what is not yet right, never a menu file changed since; the check says first what the run
// then does, and the undo takes a conversion back. Every row runs the check, then the run.
TEST_F(ShiftletProgramTest, RunsAgainChangeOnlyWhatIsNotYetRight) {
  const std::string converted = "migrated.menu.qnf\r\nclassic\r\nen-GB\r\n";
  const std::string undone = sampleConfiguration_;  // the backup's bytes, whole
  const std::string source = Shown("menu.qof");
  const std::string destination = Shown("migrated.menu.qnf");
  const std::string configuration = Shown("default.qcf");
  const auto convert = [&] { ASSERT_EQ(RunWith("", "--quiet").status, 0); };
  const auto edit = [&] {
    WriteBytes(Work("migrated.menu.qnf"), "70\r\nedited in Velmora 1.1\r\n");
  };
  const std::string restored = configuration + " names \"menu.qnf\" again, as before the " +
                               "conversion, and not \"migrated.menu.qnf\" (default.qcf.before-" +
                               "shiftlet removed)";
  const std::string restoredBackupKept =
      restored.substr(0, restored.size() - 8) + "kept, as the new menu file is kept)";
  const std::string fiveLines =
      "\"menu.qnf\",\"classic, dark\",\"en-GB\"\r\n\"fourth\"\r\n\"fifth\"\r\n";
  const std::string velmoraWrote = "\"migrated.menu.qnf\",\"classic\",\"en-GB\"\r\ntoolbar=1\r\n";
  const auto velmoraRewrites = [&] { WriteBytes(Work("default.qcf"), velmoraWrote); };
  const auto uninstall = [&] { ASSERT_EQ(RunWith("", "--undo").status, 0); };
  const struct {
    const char* what;
    std::function<void()> setUp;
    std::string args;
    int status;
    std::string said;  // the run's whole output: standard output when 0, else standard error
    bool changes;      // whether the run changes any file (their bytes or times)
    std::string listing = "";        // afterwards, when it changes files
    std::string configuration = "";  // afterwards, when it changes files
  } cases[] = {
      {"run twice", convert, "--quiet", 0,
       "already converted: " + destination + " holds the conversion of " + source +
           " and default.qcf names it; nothing was changed\n",
       false},
      {"no default.qcf, run twice", [&] { fs::remove(Work("default.qcf")), convert(); }, "--quiet",
       0,
       "already converted: " + destination + " holds the conversion of " + source +
           " and there is no default.qcf; nothing was changed\n",
       false},
      {"a menu file edited since, which default.qcf names", [&] { convert(), edit(); }, "--quiet",
       0,
       "kept " + destination + ": default.qcf names it and it differs from the conversion of " +
           source + " (changed since it was converted?); --replace replaces it\n",
       false},
      {"a menu file that differs, which default.qcf does not name", edit, "--quiet", 1,
       "error: " + destination + " exists and differs from the conversion of " + source +
           "; nothing was changed; --replace replaces it\n",
       false},
      {"the same, with --replace", edit, "--quiet --replace", 0,
       "converted " + source + " to " + destination + ": 13 items; default.qcf updated\n", true,
       "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", converted},
      {"finishing a run that failed on a read-only default.qcf",
       [&] {
         fs::permissions(Work("default.qcf"), fs::perms{0444});
         ASSERT_EQ(RunWith("", "--quiet").status, 1);
         fs::permissions(Work("default.qcf"), fs::perms{0644});
       },
       "--quiet", 0,
       "converted " + source + " to " + destination + ": 13 items, already in " + destination +
           ", so it was not written; default.qcf updated\n",
       true, "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", converted},
      {"a second conversion keeps the first backup", convert, "--quiet --destination other.qnf", 0,
       "converted " + source + " to " + Shown("other.qnf") + ": 13 items; default.qcf updated\n",
       true, "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf other.qnf",
       "other.qnf\r\nclassic\r\nen-GB\r\n"},
      {"undo", convert, "--undo", 0,
       "undone: " + restored + "; " + destination + " removed: it held the conversion of " +
           source + "\n",
       true, "default.qcf menu.qof", undone},
      {"undo twice",
       [&] {
         convert();
         ASSERT_EQ(RunWith("", "--undo").status, 0);
       },
       "--undo", 0,
       "nothing to undo: " + configuration +
           " names \"menu.qnf\", not the new menu file, so it was left alone; there is no " +
           destination + "\n",
       false},
      {"undo of a menu file edited since", [&] { convert(), edit(); }, "--undo", 0,
       "undone: " + restoredBackupKept + "; kept " + destination +
           ": it differs from the conversion of " + source + " (changed since it was converted?)\n",
       true, "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", undone},
      {"undo with the old file gone", [&] { convert(), fs::remove(Work("menu.qof")); }, "--undo", 0,
       "undone: " + restoredBackupKept + "; kept " + destination +
           ": nobody can tell whether it was changed, as " + source +
           " does not convert (cannot open " + source + ": No such file or directory)\n",
       true, "default.qcf default.qcf.before-shiftlet migrated.menu.qnf", undone},
      // Once default.qcf names the new menu file, it is Velmora 1.1's: nothing changes it.
      {"Velmora 1.1 rewrote default.qcf since, with quotes and a line of its own",
       [&] { convert(), velmoraRewrites(); }, "--quiet", 0,
       "already converted: " + destination + " holds the conversion of " + source +
           " and default.qcf names it; nothing was changed\n",
       false},
      {"converted by hand: default.qcf names it, and there is no backup",
       [&] { convert(), fs::remove(Work("default.qcf.before-shiftlet")), velmoraRewrites(); },
       "--quiet", 0,
       "already converted: " + destination + " holds the conversion of " + source +
           " and default.qcf names it; nothing was changed\n",
       false},
      {"a field holding a comma, and five lines: the undo gives back every byte",
       [&] { WriteBytes(Work("default.qcf"), fiveLines), convert(); }, "--undo", 0,
       "undone: " + restored + "; " + destination + " removed: it held the conversion of " +
           source + "\n",
       true, "default.qcf menu.qof", fiveLines},
      {"an undo after Velmora 1.1 rewrote default.qcf puts back its first field alone",
       [&] { convert(), velmoraRewrites(); }, "--undo", 0,
       "undone: " + restored.substr(0, restored.size() - 8) + "kept: default.qcf had changed " +
           "since the conversion); " + destination + " removed: it held the conversion of " +
           source + "\n",
       true, "default.qcf default.qcf.before-shiftlet menu.qof",
       "\"menu.qnf\",\"classic\",\"en-GB\"\r\ntoolbar=1\r\n"},
      {"an undo where default.qcf names a link to the new menu file",
       [&] {
         convert();
         fs::create_symlink("migrated.menu.qnf", Work("current.qnf"));
         WriteBytes(Work("default.qcf"), "current.qnf\r\nclassic\r\nen-GB\r\n");
       },
       "--undo", 0,
       "undone: " + configuration + " names \"menu.qnf\" again, as before the conversion, and " +
           "not \"current.qnf\" (default.qcf.before-shiftlet kept: default.qcf had changed since " +
           "the conversion); " + destination + " removed: it held the conversion of " + source +
           "\n",
       true, "current.qnf default.qcf default.qcf.before-shiftlet menu.qof",
       "\"menu.qnf\"\r\nclassic\r\nen-GB\r\n"},
      {"uninstalled with users' changes, then installed again",
       [&] { convert(), edit(), uninstall(); }, "--quiet", 0,
       "kept " + destination + ": default.qcf names it again, as an undo had kept it, and it " +
           "differs from the conversion of " + source +
           " (changed since it was converted?); --replace replaces it\n",
       true, "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf", converted},
      {"no default.qcf, and a menu file that differs",
       [&] { fs::remove(Work("default.qcf")), edit(); }, "--quiet", 0,
       "kept " + destination + ": there is no default.qcf and it differs from the conversion of " +
           source + " (changed since it was converted?); --replace replaces it\n",
       false},
      {"the old menu file as its own destination, which default.qcf names",
       [&] { WriteBytes(Work("default.qcf"), "menu.qof,classic,en-GB\r\n"); },
       "--quiet --destination menu.qof", 1,
       "error: " + source + " is the old menu file itself, and differs from its conversion; " +
           "nothing was changed; --replace replaces it\n",
       false},
      {"undo with the backup gone",
       [&] { convert(), fs::remove(Work("default.qcf.before-shiftlet")); }, "--undo", 1,
       "error: " + configuration + " names " + destination + ", and there is no " +
           Shown("default.qcf.before-shiftlet") +
           " to take its first line back from; nothing was changed\n",
       false},
  };
  // Every file's bytes and time: a file left as it is keeps both.
  const auto take = [&] {
    std::string state;
    for (const auto& entry : fs::directory_iterator(work_.Path())) {
      state += entry.path().filename().string() + "=" + ReadBytes(entry.path().string()) + "@" +
               std::to_string(entry.last_write_time().time_since_epoch().count()) + "\n";
    }
    return state;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& entry : fs::directory_iterator(work_.Path())) {
      fs::remove_all(entry.path());
    }
    WriteBytes(Work("menu.qof"), sampleMenu_);
    WriteBytes(Work("default.qcf"), sampleConfiguration_);
    c.setUp();
    for (const auto& entry : fs::directory_iterator(work_.Path())) {
      fs::last_write_time(entry.path(), entry.last_write_time() - std::chrono::hours(1));
    }
    const std::string before = take();

    const std::string mode = c.args.substr(0, c.args.find(' '));
    const Outcome check =
        RunWith("", "--check " + (mode == "--quiet" ? c.args.substr(mode.size()) : c.args));
    EXPECT_EQ(take(), before);
    const Outcome run = RunWith("", c.args);

    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(check.status, c.status);
    EXPECT_EQ(c.status == 0 ? run.out : run.err, c.said);
    EXPECT_EQ(c.status == 0 ? run.err : run.out, "");
    if (c.status != 0) {
      EXPECT_NE((check.out + check.err).find(run.err), std::string::npos) << check.out;
    } else if (mode == "--undo") {
      EXPECT_EQ(check.out.rfind(c.changes ? "it would undo: " : "nothing to undo: ", 0), 0u)
          << check.out;
    } else if (c.said.rfind("converted ", 0) != 0) {
      EXPECT_NE(check.out.find("\n" + c.said), std::string::npos) << check.out;  // the same line
    }
    if (!c.changes) {
      EXPECT_EQ(take(), before);
      continue;
    }
    EXPECT_EQ(ListFolder(work_.Path()), c.listing);
    EXPECT_EQ(ReadBytes(Work("default.qcf")), c.configuration);
    if (fs::exists(Work("default.qcf.before-shiftlet"))) {
      EXPECT_EQ(ReadBytes(Work("default.qcf.before-shiftlet")), sampleConfiguration_);
    }
  }
}

TEST_F(ShiftletProgramTest, PathGivenAloneIsTheFirstPickersProposal) {
  fs::create_directory(work_.Path() / "old");
  fs::rename(Work("menu.qof"), Work("old/club.qof"));

  const Outcome run = RunWith(kAllDefaults, "old/club.qof");

  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Proposals(run.out), (Texts{Shown("old/club.qof"), Shown("migrated.club.qnf")}));
  EXPECT_EQ(ReadBytes(Work("migrated.club.qnf")), kSampleConverted);
  EXPECT_EQ(ReadBytes(Work("default.qcf")), "migrated.club.qnf\r\nclassic\r\nen-GB\r\n");
}

TEST_F(ShiftletProgramTest, LogGetsOneLinePerQuietRun) {
  const std::string log = Work("runs.log");
  EXPECT_EQ(RunWith("", "--quiet --log runs.log").status, 0);
  WriteBytes(Work("menu.qof"), "1\r\n\"File\",0,0,\"\",x\r\n");
  EXPECT_EQ(RunWith("", "--quiet --log runs.log --destination other.qnf").status, 1);

  const std::string lines = ReadBytes(log);
  EXPECT_EQ(LogFields(lines),
            (Texts{Shown("menu.qof"), Shown("migrated.menu.qnf"), "converted",
                   "13 items; default.qcf updated", Shown("menu.qof"), Shown("other.qnf"), "failed",
                   Shown("menu.qof") + " line 2, item 1, field 5 (Extra): \"x\" is not a "
                                       "number"}))
      << lines;
  EXPECT_EQ(ListFolder(work_.Path()),
            "default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf runs.log");
}

// A check on every PC into one shared log, before deploying: one line per check, told from a
// conversion's by its result, and nothing written but the log.
TEST_F(ShiftletProgramTest, CheckLogGetsOneLinePerCheck) {
  WriteBytes(Work("bad.qof"), "1\r\n\"File\",0,0,\"\",x\r\n");
  WriteBytes(Work("comma.qof"), "1\r\n\"File, Open\",0,0,\"\",0\r\n");
  EXPECT_EQ(RunWith("", "--check --log runs.log").status, 0);
  EXPECT_EQ(RunWith("", "--check --source bad.qof --destination other.qnf --log runs.log").status,
            1);
  EXPECT_EQ(RunWith("", "--check --source comma.qof --log runs.log").status, 0);
  EXPECT_EQ(
      RunWith("", "--check --log no/such/runs.log").err,
      "error: cannot open the log no/such/runs.log for appending: No such file or directory\n");

  const std::string lines = ReadBytes(Work("runs.log"));
  EXPECT_EQ(LogFields(lines),
            (Texts{Shown("menu.qof"), Shown("migrated.menu.qnf"), "would convert",
                   "13 items; default.qcf would be updated", Shown("bad.qof"), Shown("other.qnf"),
                   "would fail",
                   Shown("bad.qof") + " line 2, item 1, field 5 (Extra): \"x\" is not a number",
                   Shown("comma.qof"), Shown("migrated.comma.qnf"), "would convert",
                   "1 item, 1 warning: " + Shown("comma.qof") +
                       " line 2, item 1, field 1 (Text): holds a comma, so its line in the new "
                       "file gets more than eight columns; default.qcf would be updated"}))
      << lines;
  EXPECT_EQ(ListFolder(work_.Path()), "bad.qof comma.qof default.qcf menu.qof runs.log");
  EXPECT_EQ(ReadBytes(Work("default.qcf")), sampleConfiguration_);
}

// What a file or its name holds is shown, never obeyed: terminal escapes in an item's text, a
// field and the file's name reach standard output, standard error and the log as \xNN, while the
// new menu file keeps every byte.
TEST_F(ShiftletProgramTest, ControlBytesFromAFileOrItsNameAreShownEscaped) {
  const std::string name = "m\x1b[8m.qof";
  const std::string hostileText = "\x1b]0;PWNED\x07\x1b[2J\x1b[31m red";
  const std::string converts = "1\r\n\"" + hostileText + "\",0,0,\"\",0\r\n";
  const std::string fails = "1\r\n\"" + hostileText + "\",0,0,\"\",\x1b[5m\r\n";
  const std::string shownName = Shown("m\\x1B[8m.qof");
  const struct {
    const char* what;
    std::string mode;
    std::string menu;
    int status;
    std::string shown;  // found in standard output or standard error
  } cases[] = {
      {"check that converts", "--check", converts, 0,
       "  item 1: \\x1B]0;PWNED\\x07\\x1B[2J\\x1B[31m red\n"},
      {"quiet run that converts", "--quiet", converts, 0, "converted " + shownName + " to "},
      {"check that fails", "--check", fails, 1,
       "error: " + shownName + " line 2, item 1, field 5 (Extra): \"\\x1B[5m\" is not a number\n"},
      {"quiet run that fails", "--quiet", fails, 1,
       "error: " + shownName + " line 2, item 1, field 5 (Extra): \"\\x1B[5m\" is not a number\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(work_.Path());
    fs::create_directory(work_.Path());
    WriteBytes(Work(name), c.menu);

    const Outcome run = RunWith("", c.mode + " --source '" + name + "' --log runs.log");
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE((run.out + run.err).find(c.shown), std::string::npos) << run.out << run.err;
    EXPECT_EQ(RawControlByte(run.out, "\n"), -1) << run.out;
    EXPECT_EQ(RawControlByte(run.err, "\n"), -1) << run.err;
    const std::string log = ReadBytes(Work("runs.log"));
    EXPECT_EQ(RawControlByte(log, "\t\n"), -1) << log;
    EXPECT_EQ(LogFields(log).size(), 4U) << log;
    if (c.mode == "--quiet" && c.status == 0) {
      EXPECT_NE(ReadBytes(Work("migrated.m\x1b[8m.qnf")).find(hostileText + ",0,,,,0\r\n"),
                std::string::npos);
    }
  }
}

}  // namespace
