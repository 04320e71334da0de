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
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

// What a successful run did: "13 items; default.qcf updated", or with what a check would warn
// about: "13 items, 2 warnings (shiftlet --check --source "/v/menu.qof" lists them); ...". The
// check named is this run's own: the same source, and the destination when one was given. The
// log's reason, and the end of the line printed.
std::string SuccessDetail(const ShiftletCore& core, const std::string& source,
                          const std::optional<std::string>& destination,
                          const std::string& checkCommand) {
  const std::int64_t items = core.ItemCount();
  std::string detail = std::to_string(items) + (items == 1 ? " item" : " items");
  const std::size_t warnings = MenuWarnings(core.Tables(), items, core.NewFileWritten()).size();
  if (warnings > 0) {
    detail += ", " + WarningCount(warnings) + " (" + checkCommand + " --check --source \"" +
              source + "\"" +
              (destination ? " --destination \"" + core.State().DestinationPath + "\"" : "") +
              " lists them)";
  }
  return detail + "; " + messages::kConfigurationName +
         (core.ConfigurationUpdated() ? " updated" : " not found, so none was written");
}

}  // namespace

int RunQuietly(Platform& system, const CommandLine& command, const std::string& checkCommand,
               std::ostream& out, std::ostream& err) {
  // The log is opened first: an administrator who asked for it gets no run without its line.
  std::optional<RunLog> log;
  if (command.log) {
    try {
      log.emplace(*command.log);
    } catch (const std::exception& error) {
      err << "error: " << error.what() << '\n';
      return 1;
    }
  }

  UnattendedPlatform platform(system, {command.source, command.destination});
  ShiftletCore core(platform);
  std::string reason;
  int status = kExitStartupError;
  try {
    status = ExitStatusFor(core.RunConversion());
    reason = UnattendedFailure(core);  // empty after a success
  } catch (const std::exception& error) {
    reason = error.what();  // before anything was converted
  }

  const std::vector<std::string>& answered = platform.Picked();
  const std::string source = answered.empty() ? command.source.value_or("") : answered.front();
  if (status == 0) {
    reason = SuccessDetail(core, source, command.destination, checkCommand);
    out << "converted " << source << " to " << core.State().DestinationPath << ": " << reason
        << '\n'
        << std::flush;
  } else {
    err << "error: " << reason << '\n' << std::flush;
  }
  // A run that failed before the destination was picked names the one it was given, if any.
  std::string destination = core.State().DestinationPath;
  if (destination.empty() && command.destination) {
    try {
      destination = system.FullPath(*command.destination);
    } catch (const std::exception&) {
      destination = *command.destination;
    }
  }
  if (log && !log->Append(source, destination, status == 0 ? "converted" : "failed", reason)) {
    // The files are as the run left them: a converted run stays converted, and says what it lacks.
    err << (status == 0 ? "warning: " : "error: ") << "cannot write to the log " << *command.log
        << '\n';
  }
  return status;
}

}  // namespace shiftlet
