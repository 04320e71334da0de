// The check is the conversion run with its writes kept in memory: its report draws the menus from
// the new file as written, says what the run would write, and leaves the disk as it was.

#include "cli/check_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/scripted_platform.h"
#include "paths/code_pages.h"
#include "platform/system_file_layer.h"
#include "support/temp_folder.h"

namespace shiftlet {
namespace {

using testing::ListFolder;
using testing::ReadBytes;
using testing::ScriptedPlatform;
using testing::TempFolder;
using testing::WriteBytes;

class CheckReportTest : public ::testing::Test {
 protected:
  UnattendedRecord Check(const std::string& menu, const std::string& destination = "new.qnf") {
    WriteBytes(folder_ / "m.qof", menu);
    const std::string listing = ListFolder(folder_.Path());
    UnattendedRecord check = RunUnattended(
        platform_, {UnattendedJob::kConvert, folder_ / "m.qof", folder_ / destination, false, {}},
        true);
    EXPECT_EQ(listing, ListFolder(folder_.Path())) << "the check changed the folder";
    return check;
  }

  TempFolder folder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
  ScriptedPlatform platform_{*files_};
};

TEST_F(CheckReportTest, SaysWhatItWouldWriteAndHangsEachItemUnderItsOpener) {
  // File opens menu 1 (Open, and Lost whose menu 5 nobody opens, so it hangs under the first
  // item); Loop opens menu 2 and sits in it, so it is never reached from the top.
  WriteBytes(folder_ / "default.qcf", "\"menu.qnf\",\"classic\",\"en-GB\"\r\n");
  const UnattendedRecord check = Check(
      "70\r\n\"File\",1,0,\"1\",0\r\n\"Open\",0,1,\"o\",0\r\n\"Top\",0,0,\"t\",0\r\n"
      "\"Lost\",0,5,\"l\",0\r\n\"Loop\",1,2,\"2\",0\r\n");
  const std::string m = folder_ / "m.qof";
  EXPECT_EQ(m +
                ": 5 items in 4 menus\n"
                "warning: " +
                m +
                " line 5, item 4, field 3 (MenuNo): no item of kind 2 opens menu 5, so the "
                "item hangs under the first item\n"
                "warning: " +
                m + ": 1 item is not reached from the top menu: item 5\n" + m +
                " converts, with 2 warnings.\n"
                "It would write " +
                (folder_ / "new.qnf") +
                ": 12 lines.\n"
                "It would update " +
                (folder_ / "default.qcf") +
                ": its first line \"menu.qnf\" becomes \"new.qnf\".\n"
                "It would first keep it as it is in " +
                (folder_ / "default.qcf.before-shiftlet") +
                ".\n"
                "Menus as Velmora 1.1 will show them:\n"
                "  item 1: File\n"
                "    item 2: Open\n"
                "    item 4: Lost\n"
                "  item 3: Top\n"
                "Not reached from the top menu:\n"
                "  item 5: Loop (under item 5)\n",
            CheckReport(check, CodePage()));
}

TEST_F(CheckReportTest, FailsWhereTheRunWouldAndSummarisesForABox) {
  // The run reads every item, but default.qcf has two fields: it fails there, as a quiet run
  // would, after warning about the items.
  WriteBytes(folder_ / "default.qcf", "menu.qnf\r\nclassic\r\n");
  std::string menu = "70\r\n";
  for (int i = 0; i < 7; ++i) {
    menu += "\"A,\",0,0,\"\",0\r\n";
  }
  const UnattendedRecord check = Check(menu);
  EXPECT_EQ(1, check.ExitStatus());
  EXPECT_EQ(folder_ / "default.qcf",
            check.outcome.said.substr(0, (folder_ / "default.qcf").size()));
  const std::string summary =
      CheckSummary(check, 2, {"shiftlet-cli --check", "where OLD_MENU_FILE is m$.qof"}, CodePage());
  const std::string m = folder_ / "m.qof";
  EXPECT_EQ(m +
                " does not convert.\n"
                "7 items in 1 menu.\n"
                "\n"
                "warning: " +
                m +
                " line 2, item 1, field 1 (Text): holds a comma, so its line in the new file "
                "gets more than eight columns\n"
                "warning: " +
                m +
                " line 3, item 2, field 1 (Text): holds a comma, so its line in the new file "
                "gets more than eight columns\n"
                "... and 6 more.\n"
                "\n"
                "For the whole report and the menus as Velmora 1.1 will show them, run:\n"
                "shiftlet-cli --check\n"
                "where OLD_MENU_FILE is m$.qof",
            summary);
  EXPECT_EQ("menu.qnf\r\nclassic\r\n", ReadBytes(folder_ / "default.qcf"));
}

TEST_F(CheckReportTest, RefusesTheConfigurationAsTheNewMenuFileAsTheRunDoes) {
  // Named default.qcf, where there is none yet, the new file would become Velmora's configuration.
  const UnattendedRecord check = Check("70\r\n\"A\",0,0,\"\",0\r\n", "default.qcf");
  EXPECT_EQ(1, check.ExitStatus());
  EXPECT_NE(std::string::npos,
            CheckReport(check, CodePage())
                .find("error: the new menu file cannot be " + (folder_ / "default.qcf")));
}

TEST_F(CheckReportTest, CountsTheLinesWrittenWhereverALineEndFalls) {
  // Texts of these lengths put the end of the element line, CR LF, across the end of the first
  // 64 KiB the file is written or compared in, and either side of it.
  for (std::size_t length = 65'515; length < 65'535; ++length) {
    const UnattendedRecord check =
        Check("70\r\n\"" + std::string(length, 't') + "\",0,0,\"v\",0\r\n");
    ASSERT_EQ(0, check.ExitStatus()) << check.outcome.said;
    EXPECT_EQ(4, check.run.newFileLines) << length;
    EXPECT_NE(std::string::npos,
              CheckReport(check, CodePage()).find("will show them:\n  item 1: tttt"))
        << length;
  }
}

// Pasted as it is, a command shown names each file exactly, or leaves it out and says which it is:
// no name can run anything in the shells of its system (sh and bash; cmd and PowerShell).
TEST(CheckCommandTest, HostileNamesAreQuotedForTheShellOrLeftOut) {
  const CodePage utf8 = CodePage::Utf8();
  const CodePage cp1252 = testing::Windows1252();
  const struct {
    const char* what;
    std::string source;
    const PathForm& form;
    const CodePage& codePage;
    std::string command;
    std::string note;
  } cases[] = {
      {"a plain POSIX path", "/v/menu-1_a.qof", kPosixPaths, utf8,
       "shiftlet --check --source /v/menu-1_a.qof", ""},
      {"a command substitution and backticks", "/tmp/m$(touch PWNED)`id`.qof", kPosixPaths, utf8,
       "shiftlet --check --source '/tmp/m$(touch PWNED)`id`.qof'", ""},
      {"single and double quotes", "/v/it's \"x\".qof", kPosixPaths, utf8,
       "shiftlet --check --source '/v/it'\"'\"'s \"x\".qof'", ""},
      {"spaces, a semicolon and a glob", "/v/a b;rm *.qof", kPosixPaths, utf8,
       "shiftlet --check --source '/v/a b;rm *.qof'", ""},
      // Shown escaped, a name with a control character pasted would name another file.
      {"a POSIX line feed", "/v/a\nb.qof", kPosixPaths, utf8,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is /v/a\nb.qof"},
      {"a POSIX tab", "/v/a\tb.qof", kPosixPaths, utf8, "shiftlet --check --source OLD_MENU_FILE",
       "where OLD_MENU_FILE is /v/a\tb.qof"},
      {"a POSIX DEL", "/v/a\x7f.qof", kPosixPaths, utf8, "shiftlet --check --source OLD_MENU_FILE",
       "where OLD_MENU_FILE is /v/a\x7f.qof"},
      {"a C1 control in a UTF-8 POSIX name", "/v/a\xc2\x9b.qof", kPosixPaths, utf8,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is /v/a\xc2\x9b.qof"},
      {"a UTF-8 POSIX name that only looks like a C1 control", "/v/\xc5\x9b.qof", kPosixPaths, utf8,
       "shiftlet --check --source '/v/\xc5\x9b.qof'", ""},
      {"an empty name", "", kPosixPaths, utf8, "shiftlet --check --source ''", ""},
      {"a plain Windows path", "C:\\Program Files\\V (x86)\\m&n^1.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source \"C:\\Program Files\\V (x86)\\m&n^1.qof\"", ""},
      {"a non-ASCII name in 1252", "C:\\V\\caf\xe9.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source \"C:\\V\\caf\xe9.qof\"", ""},
      {"PowerShell's subexpression", "C:\\V\\menu$(Stop-Computer).qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE",
       "where OLD_MENU_FILE is C:\\V\\menu$(Stop-Computer).qof"},
      {"cmd's variable", "C:\\V\\%COMSPEC%.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is C:\\V\\%COMSPEC%.qof"},
      {"delayed expansion", "C:\\V\\!x!.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is C:\\V\\!x!.qof"},
      {"a backtick", "C:\\V\\a`.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is C:\\V\\a`.qof"},
      {"a single quote", "C:\\V\\it's.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is C:\\V\\it's.qof"},
      {"a typographic quote in 1252", "C:\\V\\a\x94;Stop-Computer;\x93.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE",
       "where OLD_MENU_FILE is C:\\V\\a\x94;Stop-Computer;\x93.qof"},
      {"a typographic quote in UTF-8", "C:\\V\\a\xe2\x80\x9d;x.qof", kWindowsPaths, utf8,
       "shiftlet --check --source OLD_MENU_FILE",
       "where OLD_MENU_FILE is C:\\V\\a\xe2\x80\x9d;x.qof"},
      {"a control byte", "C:\\V\\a\x1b.qof", kWindowsPaths, cp1252,
       "shiftlet --check --source OLD_MENU_FILE", "where OLD_MENU_FILE is C:\\V\\a\x1b.qof"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PastedCommand command =
        CheckCommand("shiftlet", c.source, std::nullopt, c.form, c.codePage);
    EXPECT_EQ(c.command, command.text);
    EXPECT_EQ(c.note, command.note);
#ifndef _WIN32
    if (&c.form == &kPosixPaths && c.note.empty()) {
      // The shell itself reads the quoted name back.
      const std::string quoted = command.text.substr(command.text.find("--source ") + 9);
      FILE* shell = popen(("printf '%s' " + quoted).c_str(), "r");
      ASSERT_NE(nullptr, shell);
      std::string read;
      char buffer[256];
      for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, shell)) > 0;) {
        read.append(buffer, got);
      }
      EXPECT_EQ(0, pclose(shell));
      EXPECT_EQ(c.source, read);
    }
#endif
  }
  // Each file is quoted by itself, and each left out is named in the note.
  const PastedCommand both = CheckCommand("shiftlet-cli", "C:\\a%b%.qof",
                                          std::string("C:\\n$x.qnf"), kWindowsPaths, cp1252);
  EXPECT_EQ("shiftlet-cli --check --source OLD_MENU_FILE --destination NEW_MENU_FILE", both.text);
  EXPECT_EQ("where OLD_MENU_FILE is C:\\a%b%.qof and NEW_MENU_FILE is C:\\n$x.qnf", both.note);
  EXPECT_EQ(
      "shiftlet-cli --check --source \"C:\\a.qof\" --destination NEW_MENU_FILE",
      CheckCommand("shiftlet-cli", "C:\\a.qof", std::string("C:\\n$x.qnf"), kWindowsPaths, cp1252)
          .text);
}

}  // namespace
}  // namespace shiftlet
