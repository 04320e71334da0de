#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shiftlet {

// What the program was asked to do, from its arguments.
struct CommandLine {
  enum class Mode {
    kInteractive,  // no option: the dialogue with boxes and pickers
    kQuiet,        // --quiet: the same run, answered by itself
    kCheck,        // --check: the quiet run with every write kept in memory, and its report
    kUndo,         // --undo: take a conversion back
    kCheckUndo,    // --check --undo: the undo with every write kept in memory
    kHelp,
    kVersion,
    kUsageError,  // an unknown option, a missing value or a bad combination
  };
  Mode mode = Mode::kInteractive;
  // The one path given without an option (a file dropped on the program, "Open with"): the
  // dialogue's first picker proposes it.
  std::optional<std::string> path;
  std::optional<std::string> source;
  std::optional<std::string> destination;
  std::optional<std::string> log;
  bool replace = false;  // --replace: a new menu file that differs is replaced
  // --wait SECONDS: how long a run waits in all for a file another program holds; the run's own
  // default where not given.
  std::optional<int> waitSeconds;
  // Whether the arguments ask for a run nobody watches (--quiet, --undo), however the rest of them
  // reads: such a run shows nothing, not even what is wrong with its command line, as a script
  // may be waiting on it.
  bool unattended = false;
  std::string error;  // for kUsageError: what was wrong
};

// What a mode of the unattended runs does: convert or undo, and whether with every write kept in
// memory.
enum class UnattendedJob { kConvert, kUndo };
UnattendedJob JobOf(CommandLine::Mode mode);
bool IsDryRun(CommandLine::Mode mode);

// The longest --wait taken, in seconds: an hour.
inline constexpr int kLongestWaitSeconds = 3600;

// The exit status of a command line that cannot be used (as sysexits' EX_USAGE).
inline constexpr int kExitUsage = 64;

// Parses the arguments after the program's name. With `slashOptions` the Windows forms work too:
// /quiet, /source PATH, /? for help.
CommandLine ParseCommandLine(const std::vector<std::string>& args, bool slashOptions);

// The short usage, for standard error after a bad command line.
std::string UsageText(const std::string& programName);
// The usage with what each option does and the exit statuses.
std::string HelpText(const std::string& programName);
// "Shiftlet 0.02" and what the program does.
std::string VersionText();

}  // namespace shiftlet
