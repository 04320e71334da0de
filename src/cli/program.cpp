#include "cli/program.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <memory>

#include "cli/check_report.h"
#include "cli/check_run.h"
#include "cli/command_line.h"
#include "cli/quiet_run.h"
#include "driver/shiftlet_core.h"
#include "platform/front_end.h"
#include "platform/given_source/given_source_platform.h"

namespace shiftlet {

namespace {

// A message box has room for the verdict and a few findings.
constexpr std::size_t kFindingsInABox = 5;

int RunInteractively(const std::optional<std::string>& source) {
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    std::unique_ptr<Platform> proposing;
    if (source) {
      proposing = std::make_unique<GivenSourcePlatform>(*system, *source);
    }
    ShiftletCore core(proposing ? *proposing : *system);
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
  const DryRunCheck check = CheckByDryRun(system, command.source, command.destination);
  ShowCommandText(CheckReport(check), CheckSummary(check, kFindingsInABox,
                                                   ReportingCommandName() + " --check --source \"" +
                                                       check.source + "\""));
  return check.status;
}

// Whether the arguments ask for a quiet run, however the rest of them reads: such a run shows
// nothing, not even what is wrong with its command line, as a script may be waiting on it.
bool AsksForQuiet(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
    return arg == "--quiet" || (AcceptsSlashOptions() && arg == "/quiet");
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
      const std::string text = name + ": " + command.error + '\n' + UsageText(name);
      if (AsksForQuiet(args)) {
        std::cerr << text << std::flush;
      } else {
        ReportUsageError(text);
      }
      return kExitUsage;
    }
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
      return HasTerminal()
                 ? RunQuietly(*system, command, ReportingCommandName(), std::cout, std::cerr)
                 : RunQuietly(*system, command, ReportingCommandName(), nowhere, nowhere);
    }
    return Check(*system, command);
  } catch (const std::exception& error) {
    std::cerr << "error: " << error.what() << '\n' << std::flush;
  }
  return kExitStartupError;
}

}  // namespace shiftlet
