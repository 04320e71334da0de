#include "cli/program.h"

#include <exception>
#include <iostream>
#include <memory>

#include "cli/check_report.h"
#include "cli/command_line.h"
#include "cli/quiet_run.h"
#include "driver/messages.h"
#include "driver/shiftlet_core.h"
#include "menu/check_menu_file.h"
#include "platform/front_end.h"

namespace shiftlet {

namespace {

// A message box has room for the verdict and a few findings.
constexpr std::size_t kFindingsInABox = 5;

int RunInteractively() {
  try {
    const std::unique_ptr<Platform> platform = MakeFrontEnd();
    ShiftletCore core(*platform);
    return ExitStatusFor(core.RunConversion());
  } catch (const OutcomeNotShown& error) {
    ReportError(std::string(error.End() == RunEnd::kSucceeded
                                ? "The menu file was converted, but Shiftlet could not say so: "
                                : "The conversion failed, and Shiftlet could not say so: ") +
                error.what());
    return ExitStatusFor(error.End());
  } catch (const std::exception& error) {
    ReportStartupError(error.what());
  } catch (...) {
    ReportStartupError("unknown error");
  }
  return kExitStartupError;
}

int Check(Platform& system, const CommandLine& command) {
  const std::string path =
      command.source ? *command.source
                     : system.ProposedPath(messages::kSourceFolder, messages::kSourceName);
  const MenuFileCheck check = CheckOldMenuFile(system.Files(), path);
  ShowCommandText(
      CheckReport(check, path),
      CheckSummary(check, path, kFindingsInABox, "shiftlet-cli --check --source \"" + path + "\""));
  return check.converts ? 0 : 1;
}

}  // namespace

int RunProgram(const std::vector<std::string>& args) {
  const CommandLine command = ParseCommandLine(args, AcceptsSlashOptions());
  const std::string name = CommandName();
  switch (command.mode) {
    case CommandLine::Mode::kInteractive:
      return RunInteractively();
    case CommandLine::Mode::kUsageError:
      // Never a box: a script may be waiting on the program.
      std::cerr << name << ": " << command.error << '\n' << UsageText(name) << std::flush;
      return kExitUsage;
    case CommandLine::Mode::kHelp:
      ShowCommandText(HelpText(name), HelpText(name));
      return 0;
    case CommandLine::Mode::kVersion:
      ShowCommandText(VersionText(), VersionText());
      return 0;
    case CommandLine::Mode::kQuiet:
    case CommandLine::Mode::kCheck:
      break;
  }
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    if (command.mode == CommandLine::Mode::kQuiet) {
      std::ostream nowhere(nullptr);  // a stream with no buffer drops what it is given
      return HasTerminal() ? RunQuietly(*system, command, std::cout, std::cerr)
                           : RunQuietly(*system, command, nowhere, nowhere);
    }
    return Check(*system, command);
  } catch (const std::exception& error) {
    std::cerr << "error: " << error.what() << '\n' << std::flush;
  }
  return kExitStartupError;
}

}  // namespace shiftlet
