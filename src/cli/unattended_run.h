#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/outcome_words.h"
#include "driver/platform.h"
#include "driver/run_record.h"
#include "menu/menu_warnings.h"
#include "platform/run_output.h"
#include "textfile/in_use_wait.h"

namespace shiftlet {

// What a run nobody watches is to do: convert or undo, from the old file to the new one (each
// picker's proposal where not given), replacing a new menu file that differs or not.
struct UnattendedTask {
  UnattendedJob job = UnattendedJob::kConvert;
  std::optional<std::string> source;
  std::optional<std::string> destination;
  bool replace = false;
  // How long a file another program holds is waited for, in all; the unattended default where not
  // given.
  std::optional<int> waitSeconds;
};

// One unattended run, made or (`dryRun`) foreseen: what it did to each file, where that left the
// PC, and what a line, a report and a log say of it.
struct UnattendedRecord {
  UnattendedTask task;
  bool dryRun = false;
  RunRecord run;  // its source is the one given when the run stopped before picking one
  Outcome outcome;
  std::int64_t menus = 0;  // distinct menus holding the items read
  std::vector<MenuWarning> warnings;
  // What steps that succeeded had to leave on the disk (a replaced file's backup that could not
  // be removed), each a sentence naming the file.
  std::vector<std::string> leftBehind;
  // For a check: each file the run would replace or remove that another program holds now, in a
  // sentence naming it, who holds it, and what the run would do.
  std::vector<std::string> inUseNow;

  Tense TenseOf() const { return dryRun ? Tense::kWould : Tense::kDone; }
  int ExitStatus() const { return shiftlet::ExitStatus(outcome.result, false); }
  // Whether the check's report and tree follow the verdict: the check of a conversion that would
  // write or leave its files as they should be.
  bool ShowsWhatItWrites() const {
    return outcome.result == Result::kConverted || outcome.result == Result::kUnchanged;
  }
};

// Runs `task` through ShiftletCore over `system` with boxes and pickers that answer by themselves;
// with `dryRun`, with every write and removal kept in memory, so that the disk is left as it was
// and the outcome is the one the same run without it would have, for the same reason. An error
// before the run could start is its outcome (kNotStarted), never thrown.
UnattendedRecord RunUnattended(Platform& system, const UnattendedTask& task, bool dryRun);

// How a finished record is told: the program that prints a check's whole report, the destination
// the command line gave (so a command shown names it as given), where the words go.
struct FinishContext {
  Platform& system;
  std::string reportingCommand;
  std::optional<std::string> givenDestination;
  RunOutput& output;
};

class RunLog;

// Tells what `record` did: its line (or, for the check of a conversion, its report), what it left
// behind, and its line in `log` when one is open. Returns the exit status.
int Finish(const UnattendedRecord& record, const FinishContext& context, RunLog* log);

// `--quiet`, `--check`, `--undo` and `--check --undo`: opens the log the command line names
// (a run that cannot log its line does not run), runs, and finishes. Returns the exit status.
int RunFromCommandLine(Platform& system, const CommandLine& command,
                       const std::string& reportingCommand, RunOutput& output);

}  // namespace shiftlet
