#include "cli/program.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/check_report.h"
#include "cli/check_run.h"
#include "cli/command_line.h"
#include "cli/dialogue.h"
#include "cli/quiet_run.h"
#include "cli/run_log.h"
#include "cli/unattended_failure.h"
#include "cli/undo_run.h"
#include "driver/shiftlet_core.h"
#include "paths/shown_text.h"
#include "platform/front_end.h"
#include "platform/given_source/given_source_platform.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

namespace {

// A message box has room for the verdict and a few findings.
constexpr std::size_t kFindingsInABox = 5;

// An error's text as the front-end shows it: it may hold a path or a field of a file.
std::string ShownError(const std::string& what) {
  return ShownText(what, SystemCodePage());
}

int RunInteractively(const std::optional<std::string>& source) {
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    std::unique_ptr<Platform> proposing;
    if (source) {
      proposing = std::make_unique<GivenSourcePlatform>(*system, *source);
    }
    return ExitStatusFor(RunDialogue(proposing ? *proposing : *system));
  } catch (const OutcomeNotShown& error) {
    ReportError(std::string(error.End() == RunEnd::kSucceeded
                                ? "The menu file was converted, but Shiftlet could not say so: "
                                : "The conversion failed, and Shiftlet could not say so: ") +
                ShownError(error.what()));
    return ExitStatusFor(error.End());
  } catch (const std::exception& error) {
    ReportStartupError(ShownError(error.what()));
  } catch (...) {
    ReportStartupError("unknown error");
  }
  return kExitStartupError;
}

ShownVerdict VerdictOf(const DryRunCheck& check) {
  if (!check.Converts()) {
    return ShownVerdict::kDoesNotConvert;
  }
  return check.warnings.empty() ? ShownVerdict::kConverts : ShownVerdict::kConvertsWithWarnings;
}

// What the log said went wrong (it could not be opened, a line was lost): on standard error, or,
// for a program without a terminal, in a box of its own, as the check's verdict is.
void SayAboutTheLog(const std::string& said) {
  if (said.empty()) {
    return;
  }
  if (HasTerminal()) {
    std::cerr << said << std::flush;
  } else {
    ReportError(said);
  }
}

// The check, with its line in the log when one is named: opened first and written before the
// report is shown, as a quiet run's.
int Check(Platform& system, const CommandLine& command) {
  const CodePage& codePage = system.NameCodePage();
  std::optional<RunLog> log;
  std::ostringstream aboutTheLog;
  if (!OpenRunLog(command.log, codePage, log, aboutTheLog)) {
    SayAboutTheLog(aboutTheLog.str());
    return 1;
  }
  const DryRunCheck check =
      CheckByDryRun(system, command.source, command.destination, command.replace);
  const std::string destination = LoggedDestination(system, check.destination, command.destination);
  if (log) {
    // A check that ran did its job, whatever its verdict: a lost line is only a warning.
    log->AppendOrSay(/*done=*/true, check.source, destination,
                     LoggedResult(check.outcome, "would convert", "would fail"),
                     CheckLogReason(check), aboutTheLog);
    SayAboutTheLog(aboutTheLog.str());
  }
  const auto checkedDestination = command.destination ? std::optional(destination) : std::nullopt;
  ShowCommandText(
      CheckReport(check, codePage),
      CheckSummary(check, kFindingsInABox,
                   CheckCommand(ReportingCommandName(), check.source, checkedDestination,
                                PathFormJoinedBy(system.PathSeparator()), codePage),
                   codePage),
      VerdictOf(check));
  return check.status;
}

// --undo, and --check --undo: on the terminal, or where there is none, the check's line in a box
// and an undo's nowhere, as a quiet run's.
int UndoFromCommandLine(Platform& system, const CommandLine& command) {
  if (HasTerminal()) {
    return Undo(system, command, std::cout, std::cerr);
  }
  std::ostringstream said;
  const int status = Undo(system, command, said, said);
  if (command.mode == CommandLine::Mode::kCheck) {
    ShowCommandText(said.str(), said.str(),
                    status == 0 ? ShownVerdict::kConverts : ShownVerdict::kDoesNotConvert);
  }
  return status;
}

// Whether the arguments ask for a quiet run, however the rest of them reads: such a run shows
// nothing, not even what is wrong with its command line, as a script may be waiting on it.
bool AsksForQuiet(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--quiet" || arg == "--undo" ||
           (AcceptsSlashOptions() && (arg == "/quiet" || arg == "/undo"));
  });
}

}  // namespace

int RunProgram(const std::vector<std::string>& args) {
  const CommandLine command = ParseCommandLine(args, AcceptsSlashOptions());
  const std::string name = CommandName();
  switch (command.mode) {
    case CommandLine::Mode::kInteractive:
      return RunInteractively(command.path);
    case CommandLine::Mode::kUsageError: {
      const std::string text = name + ": " + ShownError(command.error) + '\n' + UsageText(name);
      if (AsksForQuiet(args)) {
        std::cerr << text << std::flush;
      } else {
        ReportUsageError(text);
      }
      return kExitUsage;
    }
    case CommandLine::Mode::kHelp:
      ShowCommandText(HelpText(name), HelpText(name), ShownVerdict::kNone);
      return 0;
    case CommandLine::Mode::kVersion:
      ShowCommandText(VersionText(), VersionText(), ShownVerdict::kNone);
      return 0;
    case CommandLine::Mode::kQuiet:
    case CommandLine::Mode::kCheck:
    case CommandLine::Mode::kUndo:
      break;
  }
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    if (command.undo) {
      return UndoFromCommandLine(*system, command);
    }
    if (command.mode == CommandLine::Mode::kQuiet) {
      std::ostream nowhere(nullptr);  // a stream with no buffer drops what it is given
      return HasTerminal()
                 ? RunQuietly(*system, command, ReportingCommandName(), std::cout, std::cerr)
                 : RunQuietly(*system, command, ReportingCommandName(), nowhere, nowhere);
    }
    return Check(*system, command);
  } catch (const std::exception& error) {
    std::cerr << "error: " << ShownError(error.what()) << '\n' << std::flush;
  }
  return kExitStartupError;
}

}  // namespace shiftlet
