// The command line: each form users type, the Windows forms where the build takes them, and every
// misuse a usage error (exit 64) rather than a run.

#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shiftlet {
namespace {

using Mode = CommandLine::Mode;

TEST(CommandLineTest, FormsAndMisuses) {
  const struct {
    std::vector<std::string> args;
    bool slashOptions;
    Mode mode;
    const char* source;
    const char* destination;
    const char* log;
    const char* path = "";  // the path given alone, for the dialogue
    bool replace = false;
    bool unattended = false;  // shows nothing, not even a usage error
    int wait = -1;            // --wait's seconds; -1 for none given
  } cases[] = {
      {{}, false, Mode::kInteractive, "", "", ""},
      {{"--quiet"}, false, Mode::kQuiet, "", "", "", "", false, true},
      {{"--quiet", "--source", "a.qof", "--destination", "b.qnf", "--log", "run.log"},
       false,
       Mode::kQuiet,
       "a.qof",
       "b.qnf",
       "run.log",
       "",
       false,
       true},
      {{"--source=/x/a.qof", "--quiet"}, false, Mode::kQuiet, "/x/a.qof", "", "", "", false, true},
      {{"--check"}, false, Mode::kCheck, "", "", ""},
      {{"--check", "--source", "a.qof"}, false, Mode::kCheck, "a.qof", "", ""},
      {{"--check", "--destination", "b.qnf"}, false, Mode::kCheck, "", "b.qnf", ""},
      {{"menu.qof"}, false, Mode::kInteractive, "", "", "", "menu.qof"},
      // Where / forms are not taken, a path is what it looks like.
      {{"/quiet"}, false, Mode::kInteractive, "", "", "", "/quiet"},
      {{"C:\\Elsewhere\\a b.qof"}, true, Mode::kInteractive, "", "", "", "C:\\Elsewhere\\a b.qof"},
      {{"--help"}, false, Mode::kHelp, "", "", ""},
      {{"--version"}, false, Mode::kVersion, "", "", ""},
      {{"/quiet", "/source", "C:\\Velmora\\a.qof", "/destination:C:\\b.qnf"},
       true,
       Mode::kQuiet,
       "C:\\Velmora\\a.qof",
       "C:\\b.qnf",
       "",
       "",
       false,
       true},
      {{"/check"}, true, Mode::kCheck, "", "", ""},
      {{"/quiet", "/bogus"}, true, Mode::kUsageError, "", "", "", "", false, true},
      {{"/?"}, true, Mode::kHelp, "", "", ""},
      {{"--quiet", "--source", "C:\\x.qof"},
       true,
       Mode::kQuiet,
       "C:\\x.qof",
       "",
       "",
       "",
       false,
       true},
      {{"--check", "--log", "run.log"}, false, Mode::kCheck, "", "", "run.log"},
      {{"/check", "/log", "C:\\runs.log"}, true, Mode::kCheck, "", "", "C:\\runs.log"},
      {{"--quiet", "--replace"}, false, Mode::kQuiet, "", "", "", "", true, true},
      {{"--quiet", "--wait", "2"}, false, Mode::kQuiet, "", "", "", "", false, true, 2},
      {{"/undo", "/wait", "0"}, true, Mode::kUndo, "", "", "", "", false, true, 0},
      {{"--check", "--wait=45"}, false, Mode::kCheck, "", "", "", "", false, false, 45},
      {{"/check", "/replace"}, true, Mode::kCheck, "", "", "", "", true},
      {{"--undo", "--log", "run.log"}, false, Mode::kUndo, "", "", "run.log", "", false, true},
      {{"/undo", "/source", "C:\\a.qof"}, true, Mode::kUndo, "C:\\a.qof", "", "", "", false, true},
      {{"--check", "--undo"}, false, Mode::kCheckUndo, "", "", "", "", false, true},
      // Misuses.
      {{"--replace"}, false, Mode::kUsageError, "", "", ""},  // the dialogue asks instead
      {{"--undo", "--replace"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--wait", "2"}, false, Mode::kUsageError, "", "", ""},  // nothing waits in the dialogue
      {{"--quiet", "--wait", "-1"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--quiet", "--wait", "soon"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--quiet", "--wait", "3601"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--undo", "--quiet"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--undo", "a.qof"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--bogus"}, false, Mode::kUsageError, "", "", ""},
      {{"a.qof", "b.qof"}, false, Mode::kUsageError, "", "", ""},  // one file at a time
      {{"--quiet", "a.qof"}, false, Mode::kUsageError, "", "", "", "", false, true},  // that is
                                                                                      // --source
      {{"a.qof", "--check"}, false, Mode::kUsageError, "", "", ""},
      {{"--destination", "b.qnf"}, false, Mode::kUsageError, "", "", ""},
      {{"--quiet", "--source"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--quiet", "--check"}, false, Mode::kUsageError, "", "", "", "", false, true},
      {{"--log", "run.log"}, false, Mode::kUsageError, "", "", ""},
      {{"--source", "a.qof"}, false, Mode::kUsageError, "", "", ""},
      {{"--quiet", "--source", "a", "--source", "b"},
       false,
       Mode::kUsageError,
       "",
       "",
       "",
       "",
       false,
       true},
      {{"--help", "--quiet"}, false, Mode::kUsageError, "", "", "", "", false, true},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) {
      line += arg + " ";
    }
    SCOPED_TRACE(line);
    const CommandLine command = ParseCommandLine(c.args, c.slashOptions);
    EXPECT_EQ(c.mode, command.mode) << command.error;
    EXPECT_EQ(c.mode == Mode::kUsageError, !command.error.empty());
    EXPECT_EQ(c.unattended, command.unattended);
    if (c.mode != Mode::kUsageError) {
      EXPECT_EQ(c.source, command.source.value_or(""));
      EXPECT_EQ(c.destination, command.destination.value_or(""));
      EXPECT_EQ(c.log, command.log.value_or(""));
      EXPECT_EQ(c.path, command.path.value_or(""));
      EXPECT_EQ(c.replace, command.replace);
      EXPECT_EQ(c.wait, command.waitSeconds.value_or(-1));
    }
  }
}

}  // namespace
}  // namespace shiftlet
