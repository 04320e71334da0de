#include "driver/shiftlet_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/messages.h"
#include "driver/scripted_platform.h"
#include "platform/system_file_layer.h"
#include "support/faulty_file_layer.h"
#include "support/temp_folder.h"

namespace shiftlet {
namespace {

using testing::FaultyFileLayer;
using testing::ListFolder;
using testing::ReadBytes;
using testing::ScriptedPlatform;
using testing::TempFolder;
using testing::WriteBytes;
using Transcript = std::vector<std::string>;

const std::string kOldMenu = "70\r\n\"A\",1,0,\"1\",0\r\n\"B\",3,1,\"b\",2\r\n\"C\",0,0,\"\",0\r\n";
const std::string kNewMenu =
    "70\r\ne,0,A,2,1,,,0\r\ne,1,B,5,b,,,2\r\ne,2,C,0,,,,0\r\n"
    "n, 0 ,-1 , 0 \r\nn, 1 , 0 , 1 \r\nn, 2 ,-1 , 2 \r\nx\r\n";
const std::string kConfig = "\"menu.qnf\",\"skin, dark\",\"en\"\r\n";

std::string Ok(const char* text) {
  return std::string("Ok: ") + text;
}
std::string YesNo(const char* text) {
  return std::string("YesNo: ") + text;
}
const std::string kFirstPick =
    "Pick: Select your source QOF file [QOF file|*.qof] in C:\\Velmora\\ proposing menu.qof";
std::string SecondPick(const std::string& proposed) {
  return "Pick: Select your destination QNF file [QNF file|*.qnf] in C:\\Program Files\\Velmora\\ "
         "proposing " +
         proposed;
}

// One conversion in a folder of its own: the old menu file and default.qcf are laid out there,
// and the user picks files in it.
class ShiftletCoreTest : public ::testing::Test {
 protected:
  ShiftletCoreTest() { WriteBytes(folder_ / "menu.qof", kOldMenu); }

  // Answers Yes twice and picks the two files given (nullopt: cancel).
  RunEnd Run(std::optional<std::string> source, std::optional<std::string> destination) {
    platform_.answers = {true, true};
    platform_.picks = {std::move(source), std::move(destination)};
    return core_.RunConversion();
  }
  RunEnd RunDefault() { return Run(folder_ / "menu.qof", folder_ / "migrated.menu.qnf"); }

  TempFolder folder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
  ScriptedPlatform platform_{*files_};
  ShiftletCore core_{platform_};
};

TEST_F(ShiftletCoreTest, AcceptingEverythingConvertsAndUpdatesTheConfiguration) {
  WriteBytes(folder_ / "default.qcf", kConfig);
  EXPECT_EQ(RunEnd::kSucceeded, RunDefault());
  EXPECT_EQ((Transcript{YesNo(messages::kAskInstalled), YesNo(messages::kAskContinue),
                        Ok(messages::kSelectSource), kFirstPick, Ok(messages::kSelectDestination),
                        SecondPick("migrated.menu.qnf"), Ok(messages::kSuccess)}),
            platform_.transcript);
  EXPECT_EQ(kNewMenu, ReadBytes(folder_ / "migrated.menu.qnf"));
  EXPECT_EQ("migrated.menu.qnf\r\n\"skin, dark\"\r\nen\r\n", ReadBytes(folder_ / "default.qcf"));
  EXPECT_EQ("default.qcf default.qcf.before-shiftlet menu.qof migrated.menu.qnf",
            ListFolder(folder_.Path()));
  EXPECT_EQ(kConfig, ReadBytes(folder_ / "default.qcf.before-shiftlet"));
  const ConversionState& state = core_.State();
  EXPECT_EQ("menu.qof", state.SourceTitle);
  EXPECT_EQ(folder_ / "migrated.menu.qnf", state.DestinationPath);
  EXPECT_EQ("migrated.menu.qnf", state.DestinationTitle);
  EXPECT_EQ(folder_.Path().string(), state.DestinationFolder);
  EXPECT_EQ("menu.qnf", state.ConfigName);
  const RunRecord& record = core_.Record();
  EXPECT_EQ(3, record.items);
  EXPECT_TRUE(record.configurationFound);
  EXPECT_EQ("", record.failure);
}

TEST_F(ShiftletCoreTest, ClosingMessageThatCannotBeShownStillTellsHowTheRunEnded) {
  // Not "stopped before converting": the files are as the run left them.
  platform_.boxThatCannotBeShown = messages::kSuccess;
  try {
    RunDefault();
    ADD_FAILURE() << "no error";
  } catch (const OutcomeNotShown& error) {
    EXPECT_EQ(RunEnd::kSucceeded, error.End());
  }
  EXPECT_EQ(kNewMenu, ReadBytes(folder_ / "migrated.menu.qnf"));

  ShiftletCore again(platform_);
  platform_.boxThatCannotBeShown = messages::kFailure;
  platform_.answers = {true, true};
  platform_.picks = {folder_ / "absent.qof"};
  try {
    again.RunConversion();
    ADD_FAILURE() << "no error";
  } catch (const OutcomeNotShown& error) {
    EXPECT_EQ(RunEnd::kFailed, error.End());
  }
  EXPECT_NE(std::string::npos, again.Record().failure.find("absent.qof"));
}

TEST_F(ShiftletCoreTest, NoToTheFirstQuestionExplainsAndEnds) {
  platform_.answers = {false};
  EXPECT_EQ(RunEnd::kDeclined, core_.RunConversion());
  EXPECT_EQ((Transcript{YesNo(messages::kAskInstalled), Ok(messages::kInstallFirst)}),
            platform_.transcript);
  EXPECT_EQ("menu.qof", ListFolder(folder_.Path()));
}

TEST_F(ShiftletCoreTest, NoToTheSecondQuestionEndsSilently) {
  platform_.answers = {true, false};
  EXPECT_EQ(RunEnd::kDeclined, core_.RunConversion());
  EXPECT_EQ((Transcript{YesNo(messages::kAskInstalled), YesNo(messages::kAskContinue)}),
            platform_.transcript);
  EXPECT_EQ("menu.qof", ListFolder(folder_.Path()));
}

TEST_F(ShiftletCoreTest, DestinationNameComesFromTheOldFileName) {
  WriteBytes(folder_ / "old.menu.QOF", kOldMenu);
  EXPECT_EQ(RunEnd::kSucceeded, Run(folder_ / "old.menu.QOF", folder_ / "x.qnf"));
  EXPECT_EQ(SecondPick("migrated.old.menu.qnf"), platform_.transcript.at(5));

  // Four characters of the platform's code page, not four bytes: in this one '#' starts a
  // character of two bytes, so "ab#cd" is four characters.
  platform_.codePage.AddLeadBytes('#', '#');
  platform_.transcript.clear();
  WriteBytes(folder_ / "ab#cd", kOldMenu);
  EXPECT_EQ(RunEnd::kSucceeded, Run(folder_ / "ab#cd", folder_ / "y.qnf"));
  EXPECT_EQ(SecondPick("migrated..qnf"), platform_.transcript.at(5));
}

TEST_F(ShiftletCoreTest, OldFileNameShorterThanFourFailsBeforeTheSecondPicker) {
  WriteBytes(folder_ / "a.b", kOldMenu);
  platform_.answers = {true, true};
  platform_.picks = {folder_ / "a.b"};
  EXPECT_EQ(RunEnd::kFailed, core_.RunConversion());
  EXPECT_EQ((Transcript{YesNo(messages::kAskInstalled), YesNo(messages::kAskContinue),
                        Ok(messages::kSelectSource), kFirstPick, Ok(messages::kSelectDestination),
                        Ok(messages::kFailure)}),
            platform_.transcript);
  EXPECT_EQ("a.b menu.qof", ListFolder(folder_.Path()));
}

TEST_F(ShiftletCoreTest, WithoutConfigurationNoneIsCreated) {
  EXPECT_EQ(RunEnd::kSucceeded, RunDefault());
  EXPECT_EQ("menu.qof migrated.menu.qnf", ListFolder(folder_.Path()));
  EXPECT_EQ(Ok(messages::kSuccess), platform_.transcript.back());
}

// default.qcf is rewritten as three lines, each field bare unless that would not read back the
// same, only while it names another file: once it names the new one, it is Velmora 1.1's.
TEST(ShiftletCoreConfigurationTest, RewrittenSoItReadsBackAndOnlyUntilItNamesTheNewFile) {
  const struct {
    const char* before;
    const char* after;  // nullptr: left as it is, with no backup
  } cases[] = {
      {"\"old.qnf\"\r\n\"C:\\Skins\\a b\"\r\n\"x,y\"\r\nfourth,fifth\r\n",
       "migrated.menu.qnf\r\nC:\\Skins\\a b\r\n\"x,y\"\r\n"},
      {"old.qnf,\" lead\",\"trail\t\"", "migrated.menu.qnf\r\n\" lead\"\r\n\"trail\t\"\r\n"},
      {"old.qnf,a\"b,\r\n", "migrated.menu.qnf\r\na\"b\r\n\r\n"},
      {"\"migrated.menu.qnf\",\"classic, dark\",\"en-GB\"\r\ntoolbar=1\r\n", nullptr},
      {"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n", nullptr},
      {"  migrated.menu.qnf ,x,y", nullptr},
      {"current.qnf,x,y\r\n", nullptr},  // a link to the new file
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    TempFolder folder;
    WriteBytes(folder / "menu.qof", kOldMenu);
    WriteBytes(folder / "default.qcf", c.before);
    std::error_code noLinks;
    std::filesystem::create_symlink("migrated.menu.qnf", folder.Path() / "current.qnf", noLinks);
    if (noLinks && std::string(c.before).rfind("current", 0) == 0) {
      continue;  // a system where no link can be made here
    }
    const std::unique_ptr<FileLayer> files = MakeSystemFileLayer();
    ScriptedPlatform platform(*files);
    platform.answers = {true, true};
    platform.picks = {folder / "menu.qof", folder / "migrated.menu.qnf"};
    ShiftletCore core(platform);
    ASSERT_EQ(RunEnd::kSucceeded, core.RunConversion()) << core.Record().failure;
    EXPECT_EQ(c.after ? c.after : c.before, ReadBytes(folder / "default.qcf"));
    EXPECT_EQ(c.after != nullptr, std::filesystem::exists(folder / "default.qcf.before-shiftlet"));
    EXPECT_EQ(c.after != nullptr, core.Record().configurationChanged);
  }
}

// The new menu file is never default.qcf or its backup, however it is named: refused before
// anything is asked or written.
TEST_F(ShiftletCoreTest, NewMenuFileThatIsTheConfigurationOrItsBackupIsRefused) {
  WriteBytes(folder_ / "default.qcf", kConfig);
  WriteBytes(folder_ / "default.qcf.before-shiftlet", kConfig);
  for (const char* name : {"default.qcf", "default.qcf.before-shiftlet", "sub/../default.qcf"}) {
    std::filesystem::create_directory(folder_.Path() / "sub");
    ShiftletCore core(platform_);
    platform_.answers = {true, true};
    platform_.picks = {folder_ / "menu.qof", folder_ / name};
    platform_.transcript.clear();
    EXPECT_EQ(RunEnd::kFailed, core.RunConversion()) << name;
    EXPECT_EQ(Ok(messages::kFailure), platform_.transcript.back()) << name;
    EXPECT_NE(std::string::npos, core.Record().failure.find("the new menu file cannot be")) << name;
    EXPECT_EQ(kConfig, ReadBytes(folder_ / "default.qcf"));
    EXPECT_EQ(kConfig, ReadBytes(folder_ / "default.qcf.before-shiftlet"));
  }
}

TEST_F(ShiftletCoreTest, ConfigurationWithTwoFieldsFailsAfterTheNewFileIsComplete) {
  WriteBytes(folder_ / "default.qcf", "\"menu.qnf\",\"skin\"\r\n");
  EXPECT_EQ(RunEnd::kFailed, RunDefault());
  EXPECT_EQ(Ok(messages::kFailure), platform_.transcript.back());
  EXPECT_EQ(kNewMenu, ReadBytes(folder_ / "migrated.menu.qnf"));
  EXPECT_EQ("\"menu.qnf\",\"skin\"\r\n", ReadBytes(folder_ / "default.qcf"));
  EXPECT_FALSE(core_.Record().configurationFound);
  EXPECT_EQ(folder_ / "default.qcf line 2, field 3: the file ends before this field",
            core_.Record().failure);
}

TEST_F(ShiftletCoreTest, OldFileChosenAsDestinationIsConvertedInPlace) {
  platform_.answers = {true, true, true};  // and Yes to replacing it
  platform_.picks = {folder_ / "menu.qof", folder_ / "menu.qof"};
  EXPECT_EQ(RunEnd::kSucceeded, core_.RunConversion());
  EXPECT_EQ("YesNo (No first): " + (folder_ / "menu.qof") + messages::kReplaceDiffers + "\n\n" +
                messages::kReplaceIt,
            platform_.transcript.at(6));
  EXPECT_EQ(kNewMenu, ReadBytes(folder_ / "menu.qof"));
  EXPECT_EQ("menu.qof", ListFolder(folder_.Path()));
}

TEST_F(ShiftletCoreTest, FailuresLeaveEveryFileAsItWas) {
  // A bad old file, a cancel at either picker, a destination folder that does not exist, and a
  // bad item written over an earlier conversion: the failure message each time, nothing changed.
  WriteBytes(folder_ / "bad.qof", "70\r\n\"A\",1,0,\"ab\",0\r\n");
  WriteBytes(folder_ / "default.qcf", kConfig);
  WriteBytes(folder_ / "migrated.menu.qnf", "previous\r\n");
  struct Case {
    std::optional<std::string> source;
    std::optional<std::string> destination;
  };
  const Case cases[] = {
      {folder_ / "missing.qof", folder_ / "migrated.menu.qnf"},
      {std::nullopt, folder_ / "migrated.menu.qnf"},
      {folder_ / "menu.qof", std::nullopt},
      {folder_ / "menu.qof", folder_ / "no-folder/migrated.menu.qnf"},
      {folder_ / "bad.qof", folder_ / "migrated.menu.qnf"},
  };
  for (const Case& failing : cases) {
    ScriptedPlatform platform(*files_);
    ShiftletCore core(platform);
    platform.answers = {true, true};
    platform.picks = {failing.source, failing.destination};
    EXPECT_EQ(RunEnd::kFailed, core.RunConversion()) << failing.source.value_or("(cancel)");
    EXPECT_EQ(Ok(messages::kFailure), platform.transcript.back());
    EXPECT_EQ("previous\r\n", ReadBytes(folder_ / "migrated.menu.qnf"));
    EXPECT_EQ(kConfig, ReadBytes(folder_ / "default.qcf"));
    EXPECT_EQ("bad.qof default.qcf menu.qof migrated.menu.qnf", ListFolder(folder_.Path()));
  }
}

TEST_F(ShiftletCoreTest, FileSystemObjectThatCannotBeCreatedFailsBeforeWriting) {
  platform_.fileSystemCannotBeCreated = true;
  EXPECT_EQ(RunEnd::kFailed, RunDefault());
  EXPECT_EQ(Ok(messages::kFailure), platform_.transcript.back());
  EXPECT_EQ("menu.qof", ListFolder(folder_.Path()));
}

TEST_F(ShiftletCoreTest, PickerThatCannotBeCreatedIsNotAConversionFailure) {
  platform_.pickerCannotBeCreated = true;
  platform_.answers = {true, true};
  EXPECT_THROW(core_.RunConversion(), std::runtime_error);
  EXPECT_EQ((Transcript{YesNo(messages::kAskInstalled), YesNo(messages::kAskContinue),
                        Ok(messages::kSelectSource)}),
            platform_.transcript);
}

TEST(ShiftletCoreFaultTest, EveryFailingFileCallEndsCleanly) {
  // Walk every file call of a whole run (old file, new menu file, default.qcf), with a new
  // destination and over an earlier conversion. A failure before the new menu file is put in
  // place leaves every file as it was; a failure after that leaves the complete new file beside
  // default.qcf as it was. No temporary file is ever left behind.
  const std::string kPrevious = "previous conversion\r\n";
  for (const bool destinationExists : {false, true}) {
    std::size_t calls = 0;
    std::size_t menuReplaceCall = 0;
    std::size_t backupReplaceCall = 0;
    for (std::size_t failing = 0; failing == 0 || failing <= calls; ++failing) {
      TempFolder folder;
      WriteBytes(folder / "menu.qof", kOldMenu);
      WriteBytes(folder / "default.qcf", kConfig);
      if (destinationExists) {
        WriteBytes(folder / "migrated.menu.qnf", kPrevious);
      }
      FaultyFileLayer files;
      files.FailCall(failing);
      ScriptedPlatform platform(files);
      ShiftletCore core(platform);
      platform.answers = {true, true, true};  // Yes to replacing a destination that exists
      platform.picks = {folder / "menu.qof", folder / "migrated.menu.qnf"};
      const RunEnd end = core.RunConversion();
      if (failing == 0) {
        ASSERT_EQ(RunEnd::kSucceeded, end);
        calls = files.CallCount();
        const std::vector<std::string>& log = files.Calls();
        const auto replace =
            std::find(log.begin(), log.end(), "replace " + (folder / "migrated.menu.qnf"));
        ASSERT_NE(log.end(), replace);
        menuReplaceCall = static_cast<std::size_t>(replace - log.begin()) + 1;
        ASSERT_LT(menuReplaceCall, calls);
        const auto backup = std::find(log.begin(), log.end(),
                                      "replace " + (folder / "default.qcf.before-shiftlet"));
        ASSERT_NE(log.end(), backup);
        backupReplaceCall = static_cast<std::size_t>(backup - log.begin()) + 1;
        ASSERT_LT(menuReplaceCall, backupReplaceCall);
        continue;
      }
      const std::string where =
          "failing call " + std::to_string(failing) + ": " + files.Calls().at(failing - 1);
      EXPECT_EQ(RunEnd::kFailed, end) << where;
      EXPECT_EQ(Ok(messages::kFailure), platform.transcript.back()) << where;
      EXPECT_EQ(kOldMenu, ReadBytes(folder / "menu.qof")) << where;
      EXPECT_EQ(kConfig, ReadBytes(folder / "default.qcf")) << where;
      if (failing > menuReplaceCall) {
        EXPECT_EQ(kNewMenu, ReadBytes(folder / "migrated.menu.qnf")) << where;
      } else if (destinationExists) {
        EXPECT_EQ(kPrevious, ReadBytes(folder / "migrated.menu.qnf")) << where;
      }
      // The backup, once in place, holds default.qcf as it was, and stays for an undo.
      const bool destinationThere = destinationExists || failing > menuReplaceCall;
      const bool backupThere = failing > backupReplaceCall;
      EXPECT_EQ(std::string("default.qcf ") + (backupThere ? "default.qcf.before-shiftlet " : "") +
                    "menu.qof" + (destinationThere ? " migrated.menu.qnf" : ""),
                ListFolder(folder.Path()))
          << where;
    }
  }
}

// A file another program holds past the wait, at any open, check, replace or removal of a run:
// the dialogue names it and asks to retry; Retry finishes the run as if nothing had held it, and
// Cancel ends it as a declined question, with no failure message and nothing lost.
TEST(ShiftletCoreFaultTest, AFileHeldByAnotherProgramIsTriedAgainOnRetryAndLeftOnCancel) {
  std::size_t calls = 0;
  std::vector<std::string> log;
  for (std::size_t held = 0; held == 0 || held <= calls; ++held) {
    if (held > 0) {
      const std::string& call = log.at(held - 1);
      if (call.rfind("open ", 0) != 0 && call.rfind("check ", 0) != 0 &&
          call.rfind("replace ", 0) != 0 && call.rfind("remove ", 0) != 0) {
        continue;  // only those meet a file another program holds
      }
    }
    for (const bool retry : {true, false}) {
      TempFolder folder;
      WriteBytes(folder / "menu.qof", kOldMenu);
      WriteBytes(folder / "default.qcf", kConfig);
      FaultyFileLayer files;
      files.FailCall(held, /*inUse=*/true);
      ScriptedPlatform platform(files);
      ShiftletCore core(platform);
      platform.answers = {true, true, retry};
      platform.picks = {folder / "menu.qof", folder / "migrated.menu.qnf"};
      const RunEnd end = core.RunConversion();
      if (held == 0) {
        ASSERT_EQ(RunEnd::kSucceeded, end);
        calls = files.CallCount();
        log = files.Calls();
        break;
      }
      const std::string call = files.Calls().at(held - 1);
      const std::string where = call + (retry ? ", Retry" : ", Cancel");
      const std::string path = call.substr(call.find(folder.Path().string()));
      const auto asked =
          std::find_if(platform.transcript.begin(), platform.transcript.end(),
                       [](const std::string& box) { return box.rfind("RetryCancel: ", 0) == 0; });
      ASSERT_NE(platform.transcript.end(), asked) << where;
      EXPECT_EQ("RetryCancel: " + path + " is in use by Velmora (process 1234)" +
                    messages::kCloseAndRetry,
                *asked)
          << where;
      EXPECT_EQ(retry ? RunEnd::kSucceeded : RunEnd::kDeclined, end) << where;
      EXPECT_EQ(retry ? Ok(messages::kSuccess) : *asked, platform.transcript.back()) << where;
      EXPECT_EQ(kOldMenu, ReadBytes(folder / "menu.qof")) << where;
      if (retry) {
        EXPECT_EQ(kNewMenu, ReadBytes(folder / "migrated.menu.qnf")) << where;
        EXPECT_EQ(kConfig, ReadBytes(folder / "default.qcf.before-shiftlet")) << where;
      }
      const std::string listing = ListFolder(folder.Path());
      EXPECT_EQ(std::string::npos, listing.find(".tmp")) << where << ": " << listing;
      EXPECT_TRUE(ReadBytes(folder / "default.qcf") == kConfig ||
                  ReadBytes(folder / "default.qcf").rfind("migrated.menu.qnf\r\n", 0) == 0)
          << where;
    }
  }
}

// An undo asks every question (reads, comparisons, checks) before it changes anything: a failure
// of any of them leaves every file as it was, and a failure of a change leaves no temporary file.
TEST(ShiftletCoreFaultTest, EveryFailingFileCallOfAnUndoChangesNothingUntilItsQuestionsAreDone) {
  const std::vector<std::string> names = {"default.qcf", "default.qcf.before-shiftlet", "menu.qof",
                                          "migrated.menu.qnf"};
  std::size_t calls = 0;
  std::size_t firstChange = 0;
  for (std::size_t failing = 0; failing == 0 || failing <= calls; ++failing) {
    TempFolder folder;
    WriteBytes(folder / "menu.qof", kOldMenu);
    WriteBytes(folder / "default.qcf", kConfig);
    const std::deque<std::optional<std::string>> picks = {folder / "menu.qof",
                                                          folder / "migrated.menu.qnf"};
    {
      const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
      ScriptedPlatform converting(*system);
      converting.answers = {true, true};
      converting.picks = picks;
      ShiftletCore conversion(converting);
      ASSERT_EQ(RunEnd::kSucceeded, conversion.RunConversion());
    }
    std::vector<std::string> before;
    for (const std::string& name : names) {
      before.push_back(ReadBytes(folder / name));
    }
    FaultyFileLayer files;
    files.FailCall(failing);
    ScriptedPlatform platform(files);
    platform.picks = picks;
    ShiftletCore core(platform);
    const RunEnd end = core.UndoConversion();
    if (failing == 0) {
      ASSERT_EQ(RunEnd::kSucceeded, end);
      EXPECT_EQ("default.qcf menu.qof", ListFolder(folder.Path()));
      calls = files.CallCount();
      const std::vector<std::string>& log = files.Calls();
      const auto change = std::find_if(log.begin(), log.end(), [](const std::string& call) {
        return call.rfind("create ", 0) == 0 || call.rfind("replace ", 0) == 0 ||
               call.rfind("remove ", 0) == 0;
      });
      ASSERT_NE(log.end(), change);
      firstChange = static_cast<std::size_t>(change - log.begin()) + 1;
      continue;
    }
    const std::string where =
        "failing call " + std::to_string(failing) + ": " + files.Calls().at(failing - 1);
    const std::vector<UndoStep>& steps = core.Record().undoSteps;
    if (end == RunEnd::kSucceeded) {
      // The old file could not be read to compare: nobody can tell whether the new menu file was
      // changed, so it is kept, and only default.qcf is taken back.
      ASSERT_EQ(2U, steps.size()) << where;
      EXPECT_EQ(UndoStep::Kind::kMenuFileUnknown, steps[1].kind) << where;
      EXPECT_EQ(before[3], ReadBytes(folder / "migrated.menu.qnf")) << where;
      continue;
    }
    EXPECT_EQ(RunEnd::kFailed, end) << where;
    EXPECT_TRUE(steps.empty()) << where;
    if (failing < firstChange) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(before[i], ReadBytes(folder / names[i])) << where << ", " << names[i];
      }
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_NE(names.end(), std::find(names.begin(), names.end(), name)) << where << ": " << name;
    }
  }
}

}  // namespace
}  // namespace shiftlet
