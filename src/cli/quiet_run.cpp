#include "cli/quiet_run.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "cli/check_report.h"
#include "cli/run_log.h"
#include "cli/unattended_failure.h"
#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "menu/menu_warnings.h"
#include "paths/shown_text.h"
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

// What a successful run did: "13 items; default.qcf updated", or with what a check would warn
// about: "13 items, 2 warnings (shiftlet --check --source "/v/menu.qof" lists them); ...". The
// check named is this run's own: the same source, and the destination when one was given. The
// log's reason, and the end of the line printed.
std::string SuccessDetail(const ShiftletCore& core, const std::string& source,
                          const std::optional<std::string>& destination,
                          const std::string& checkCommand, const Platform& system) {
  const std::int64_t items = core.ItemCount();
  std::string detail = std::to_string(items) + (items == 1 ? " item" : " items");
  const std::size_t warnings = MenuWarnings(core.Tables(), items, core.NewFileWritten()).size();
  if (warnings > 0) {
    const auto checkedDestination =
        destination ? std::optional(core.State().DestinationPath) : std::nullopt;
    const PastedCommand command =
        CheckCommand(checkCommand, source, checkedDestination,
                     PathFormJoinedBy(system.PathSeparator()), system.NameCodePage());
    detail += ", " + WarningCount(warnings) + " (" + command.text + " lists them" +
              (command.note.empty() ? "" : ", " + command.note) + ")";
  }
  if (!core.NewFileChanged()) {
    detail += ", already in " + core.State().DestinationPath + ", so it was not written";
  }
  return detail + "; " + messages::kConfigurationName +
         (!core.ConfigurationUpdated()  ? " not found, so none was written"
          : core.ConfigurationChanged() ? " updated"
                                        : " already names it");
}

}  // namespace

int RunQuietly(Platform& system, const CommandLine& command, const std::string& checkCommand,
               std::ostream& out, std::ostream& err) {
  const CodePage& codePage = system.NameCodePage();
  std::optional<RunLog> log;
  if (!OpenRunLog(command.log, codePage, log, err)) {
    return 1;
  }

  UnattendedPlatform platform(system, {command.source, command.destination, command.replace});
  ShiftletCore core(platform);
  RunEnd end = RunEnd::kFailed;
  std::optional<std::string> stopped;
  try {
    end = core.RunConversion();
  } catch (const std::exception& error) {
    stopped = error.what();  // before anything was converted
  }

  const std::vector<std::string>& answered = platform.Picked();
  const std::string source = answered.empty() ? command.source.value_or("") : answered.front();
  const std::string& destination = core.State().DestinationPath;
  UnattendedOutcome outcome =
      stopped ? UnattendedOutcome{UnattendedOutcome::Result::kFailed, kExitStartupError, *stopped}
              : OutcomeOf(core, end, source);
  std::string reason = outcome.said;
  if (outcome.result == UnattendedOutcome::Result::kConverted) {
    reason = SuccessDetail(core, source, command.destination, checkCommand, system);
    out << ShownText("converted " + source + " to " + destination + ": " + reason, codePage) << '\n'
        << std::flush;
  } else if (outcome.status == 0) {
    out << ShownText(OutcomeLine(outcome, destination), codePage) << '\n' << std::flush;
  } else {
    err << "error: " << ShownText(reason, codePage) << '\n' << std::flush;
  }
  // What a step that succeeded left on the disk (a converted run stays converted) is said too.
  reason += SayFilesLeftBehind(system, err);
  if (log) {
    // The files are as the run left them: a converted run stays converted, and says what it lacks.
    log->AppendOrSay(outcome.status == 0, source,
                     LoggedDestination(system, destination, command.destination),
                     LoggedResult(outcome, "converted", "failed"), reason, err);
  }
  return outcome.status;
}

}  // namespace shiftlet
