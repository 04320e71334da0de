#include "cli/quiet_run.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "cli/run_log.h"
#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

// What a successful run did: "13 items; default.qcf updated". The log's reason, and the end of
// the line printed.
std::string SuccessDetail(const ShiftletCore& core) {
  const std::int64_t items = core.ItemCount();
  return std::to_string(items) + (items == 1 ? " item" : " items") + "; " +
         messages::kConfigurationName +
         (core.ConfigurationUpdated() ? " updated" : " not found, so none was written");
}

}  // namespace

int RunQuietly(Platform& system, const CommandLine& command, std::ostream& out, std::ostream& err) {
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
    reason = core.FailureReason();  // empty after a success
  } catch (const std::exception& error) {
    reason = error.what();  // before anything was converted
  }

  const std::vector<std::string>& answered = platform.Picked();
  const std::string source = answered.empty() ? command.source.value_or("") : answered.front();
  if (status == 0) {
    reason = SuccessDetail(core);
    out << "converted " << source << " to " << core.State().DestinationPath << ": " << reason
        << '\n'
        << std::flush;
  } else {
    err << "error: " << reason << '\n' << std::flush;
  }
  // A run that failed before the destination was picked names the one it was given, if any.
  const std::string& picked = core.State().DestinationPath;
  const std::string destination = picked.empty() ? command.destination.value_or("") : picked;
  if (log && !log->Append(source, destination, status == 0 ? "converted" : "failed", reason)) {
    err << "error: cannot write to the log " << *command.log << '\n';
    return status == 0 ? 1 : status;
  }
  return status;
}

}  // namespace shiftlet
