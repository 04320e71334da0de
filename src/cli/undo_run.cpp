#include "cli/undo_run.h"

#include <exception>
#include <memory>

#include "cli/run_log.h"
#include "cli/unattended_failure.h"
#include "driver/messages.h"
#include "paths/shown_text.h"
#include "platform/dry_run/dry_run_platform.h"
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

// One step in the words of a line that says what was done, or what would be.
std::string StepText(const UndoStep& step, bool dryRun) {
  const std::string backup =
      messages::kConfigurationName + std::string(messages::kConfigurationBackupSuffix);
  switch (step.kind) {
    case UndoStep::Kind::kConfigurationRestored:
      return step.path + (dryRun ? " would name \"" : " names \"") + step.after +
             "\" again, as before the conversion, and not \"" + step.before + "\" (" + backup +
             (dryRun ? " would be removed)" : " removed)");
    case UndoStep::Kind::kConfigurationNamesOther:
      return step.path + " names \"" + step.before + "\", not the new menu file, so it " +
             (dryRun ? "would be" : "was") + " left alone";
    case UndoStep::Kind::kNoConfiguration:
      return "there is no " + step.path;
    case UndoStep::Kind::kMenuFileRemoved:
      return step.path + (dryRun ? " would be removed" : " removed") +
             ": it held the conversion of " + step.before;
    case UndoStep::Kind::kMenuFileDiffers:
      return "kept " + step.path + ": it differs from the conversion of " + step.before +
             " (changed since it was converted?)";
    case UndoStep::Kind::kMenuFileUnknown:
      return "kept " + step.path + ": nobody can tell whether it was changed, as " + step.before +
             " does not convert (" + step.after + ")";
    case UndoStep::Kind::kNoMenuFile:
      return "there is no " + step.path;
  }
  return "";
}

}  // namespace

UndoRun RunUndo(Platform& system, const std::optional<std::string>& source,
                const std::optional<std::string>& destination, bool dryRun) {
  std::unique_ptr<Platform> inMemory;
  if (dryRun) {
    inMemory = std::make_unique<DryRunPlatform>(system);
  }
  UnattendedPlatform platform(inMemory ? *inMemory : system, {source, destination});
  ShiftletCore core(platform);
  UndoRun undo;
  try {
    undo.status = ExitStatusFor(core.UndoConversion());
    undo.failure = UnattendedFailure(core);
  } catch (const std::exception& error) {
    undo.status = kExitStartupError;
    undo.failure = error.what();
  }
  const std::vector<std::string>& picked = platform.Picked();
  undo.source = picked.empty() ? source.value_or("") : picked.front();
  undo.destination = core.State().DestinationPath;
  undo.steps = core.UndoSteps();
  undo.changes = core.UndoChanged();
  return undo;
}

std::string UndoLine(const UndoRun& undo, bool dryRun) {
  if (undo.status != 0) {
    return "";
  }
  std::string line = !undo.changes ? "nothing to undo: " : dryRun ? "it would undo: " : "undone: ";
  const char* separator = "";
  for (const UndoStep& step : undo.steps) {
    line += separator + StepText(step, dryRun);
    separator = "; ";
  }
  return line;
}

int Undo(Platform& system, const CommandLine& command, std::ostream& out, std::ostream& err) {
  const CodePage& codePage = system.NameCodePage();
  const bool dryRun = command.mode == CommandLine::Mode::kCheck;
  std::optional<RunLog> log;
  if (!OpenRunLog(command.log, codePage, log, err)) {
    return 1;
  }
  const UndoRun undo = RunUndo(system, command.source, command.destination, dryRun);
  std::string reason;
  std::string result;
  if (undo.status == 0) {
    const std::string line = UndoLine(undo, dryRun);
    out << ShownText(line, codePage) << '\n' << std::flush;
    reason = line.substr(line.find(": ") + 2);
    result = !undo.changes ? "unchanged" : dryRun ? "would undo" : "undone";
  } else {
    err << "error: " << ShownText(undo.failure, codePage) << '\n' << std::flush;
    reason = undo.failure;
    result = dryRun ? "would fail" : "failed";
  }
  reason += SayFilesLeftBehind(system, err);
  if (log) {
    log->AppendOrSay(undo.status == 0 || dryRun, undo.source,
                     LoggedDestination(system, undo.destination, command.destination), result,
                     reason, err);
  }
  return undo.status;
}

}  // namespace shiftlet
