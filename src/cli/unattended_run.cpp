#include "cli/unattended_run.h"

#include <chrono>
#include <exception>
#include <memory>

#include "cli/check_report.h"
#include "cli/run_log.h"
#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "paths/shown_text.h"
#include "platform/dry_run/dry_run_platform.h"
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

// A message box has room for the verdict and a few findings.
constexpr std::size_t kFindingsInABox = 5;

// What a run would warn about, after its count: as the check lists them (", 2 warnings: <warning>;
// <warning>"), or as a run names the check that lists them (", 2 warnings (shiftlet --check
// --source "/v/menu.qof" lists them)").
std::string WarningsSaid(const UnattendedRecord& record, const PastedCommand& check) {
  if (record.warnings.empty()) {
    return "";
  }
  std::string said = ", " + WarningCount(record.warnings.size());
  if (record.dryRun) {
    const char* separator = ": ";
    for (const MenuWarning& warning : record.warnings) {
      said += separator + WarningText(warning);
      separator = "; ";
    }
    return said;
  }
  return said + " (" + check.text + " lists them" + (check.note.empty() ? "" : ", " + check.note) +
         ")";
}

// What the run did, after its line's first words, and as the log's reason.
std::string Detail(const UnattendedRecord& record, const PastedCommand& check) {
  switch (record.outcome.result) {
    case Result::kConverted:
      return ConversionDetail(record.run, record.TenseOf(), WarningsSaid(record, check));
    case Result::kUndone:
    case Result::kNothingToUndo:
      return UndoDetail(record.run, record.TenseOf());
    default:
      return record.outcome.said;
  }
}

// How long the run waits for a file another program holds.
InUseWait WaitOf(const UnattendedTask& task) {
  return task.waitSeconds ? InUseWait::Unattended(std::chrono::seconds(*task.waitSeconds))
                          : InUseWait::Unattended();
}

// The files on the disk a run would replace or remove, as a check found it would.
std::vector<std::string> FilesTouched(const RunRecord& run) {
  std::vector<std::string> touched;
  if (run.newFileChanged) {
    touched.push_back(run.destination);
  }
  if (run.configurationChanged) {
    touched.push_back(run.configurationPath);
  }
  for (const UndoStep& step : run.undoSteps) {
    switch (step.kind) {
      case UndoStep::Kind::kConfigurationRestored:
        touched.push_back(step.path + messages::kConfigurationBackupSuffix);
        [[fallthrough]];
      case UndoStep::Kind::kConfigurationRestoredBackupKept:
      case UndoStep::Kind::kConfigurationFirstFieldRestored:
      case UndoStep::Kind::kMenuFileRemoved:
        touched.push_back(step.path);
        break;
      default:
        break;
    }
  }
  return touched;
}

// What a check says of each file the run would touch that another program holds now: a moment,
// not a fault of the PC, so the verdict stays the run's.
std::vector<std::string> InUseNow(FileLayer& files, const RunRecord& run, const InUseWait& wait) {
  std::vector<std::string> said;
  for (const std::string& path : FilesTouched(run)) {
    if (const std::string holder = files.InUseBy(path); !holder.empty()) {
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait.Total()).count();
      said.push_back(path + " is in use by " + holder + " now; a run would wait up to " +
                     std::to_string(seconds) + " s for it, then end with " +
                     std::to_string(kExitTryAgainLater));
    }
  }
  return said;
}

ShownVerdict VerdictOf(const UnattendedRecord& record) {
  if (record.ExitStatus() != 0) {
    return ShownVerdict::kDoesNotConvert;
  }
  return record.warnings.empty() ? ShownVerdict::kConverts : ShownVerdict::kConvertsWithWarnings;
}

}  // namespace

UnattendedRecord RunUnattended(Platform& system, const UnattendedTask& task, bool dryRun) {
  UnattendedRecord record;
  record.task = task;
  record.dryRun = dryRun;
  std::unique_ptr<Platform> inMemory;
  if (dryRun) {
    inMemory = std::make_unique<DryRunPlatform>(system);
  }
  // A check asks once, at once, whether a file is held: it says so rather than wait.
  system.Files().WaitForFilesInUse(dryRun ? InUseWait::None() : WaitOf(task));
  UnattendedPlatform platform(inMemory ? *inMemory : system,
                              {task.source, task.destination, task.replace});
  ShiftletCore core(platform);
  const bool undo = task.job == UnattendedJob::kUndo;
  std::optional<std::string> stopped;
  try {
    undo ? core.UndoConversion() : core.RunConversion();
  } catch (const std::exception& error) {
    stopped = error.what();  // before anything was converted
  }
  record.run = core.TakeRecord();
  if (record.run.source.empty()) {
    record.run.source = task.source.value_or("");
  }
  record.outcome = stopped ? Outcome{Result::kNotStarted, *stopped} : OutcomeOf(record.run, undo);
  if (!undo) {
    const MenuTables& tables = *record.run.tables;
    record.menus = CountMenus(tables, record.run.items);
    record.warnings = MenuWarnings(tables, record.run.items, record.run.newFileWhole);
  }
  record.leftBehind = system.Files().TakeFilesLeftBehind();
  if (dryRun) {
    record.inUseNow = InUseNow(system.Files(), record.run, WaitOf(task));
  }
  return record;
}

int Finish(const UnattendedRecord& record, const FinishContext& context, RunLog* log) {
  Platform& system = context.system;
  const CodePage& codePage = system.NameCodePage();
  RunOutput& output = context.output;
  const RunRecord& run = record.run;
  const Result result = record.outcome.result;
  // The check of a conversion tells in a report; every other run in one line.
  const bool reports = record.dryRun && record.task.job == UnattendedJob::kConvert;

  const std::string destination =
      LoggedDestination(system, run.destination, context.givenDestination);
  // The check that lists a run's warnings, or prints a check's whole report: the same source, and
  // the destination when one was given.
  const PastedCommand check =
      CheckCommand(context.reportingCommand, run.source,
                   context.givenDestination ? std::optional(destination) : std::nullopt,
                   PathFormJoinedBy(system.PathSeparator()), codePage);
  std::string reason = Detail(record, check);
  if (!reports) {
    const std::string line =
        ShownText(LineStart(result, record.TenseOf(), run.source, run.destination) + reason,
                  codePage) +
        '\n';
    record.ExitStatus() == 0 ? output.Line(line) : output.Problem(line);
  }
  // A check says which files a run would find held: after its line, or among its report's findings.
  for (const std::string& held : record.inUseNow) {
    if (!reports) {
      output.Line("warning: " + ShownText(held, codePage) + '\n');
    }
    reason += "; warning: " + held;
  }
  // What a step that succeeded left on the disk (a converted run stays converted) is said too.
  for (const std::string& leftBehind : record.leftBehind) {
    output.Problem("warning: " + ShownText(leftBehind, codePage) + '\n');
    reason += "; warning: " + leftBehind;
  }
  if (log) {
    // The files are as the run left them, and a check that ran did its job whatever its verdict:
    // a line lost then is only a warning.
    if (const std::string lost =
            log->AppendOrSay(record.dryRun || record.ExitStatus() == 0, run.source, destination,
                             LoggedResult(result, record.TenseOf()), reason);
        !lost.empty()) {
      output.Problem(lost);
    }
  }
  if (reports) {
    output.Report(CheckReport(record, codePage),
                  CheckSummary(record, kFindingsInABox, check, codePage), VerdictOf(record));
  }
  output.End(VerdictOf(record));
  return record.ExitStatus();
}

int RunFromCommandLine(Platform& system, const CommandLine& command,
                       const std::string& reportingCommand, RunOutput& output) {
  std::optional<RunLog> log;
  if (const std::string problem = OpenRunLog(command.log, system.NameCodePage(), log);
      !problem.empty()) {
    output.Problem(problem);
    output.End(ShownVerdict::kDoesNotConvert);
    return 1;
  }
  const UnattendedRecord record =
      RunUnattended(system,
                    {JobOf(command.mode), command.source, command.destination, command.replace,
                     command.waitSeconds},
                    IsDryRun(command.mode));
  return Finish(record, {system, reportingCommand, command.destination, output},
                log ? &*log : nullptr);
}

}  // namespace shiftlet
