#include "cli/program.h"

#include <exception>
#include <iostream>
#include <memory>

#include "cli/command_line.h"
#include "cli/dialogue.h"
#include "cli/outcome_words.h"
#include "cli/unattended_run.h"
#include "driver/shiftlet_core.h"
#include "paths/shown_text.h"
#include "platform/front_end.h"
#include "platform/given_source/given_source_platform.h"
#include "platform/system_file_layer.h"
#include "textfile/in_use_wait.h"

namespace shiftlet {

namespace {

// An error's text as the front-end shows it: it may hold a path or a field of a file.
std::string ShownError(const std::string& what) {
  return ShownText(what, SystemCodePage());
}

int RunInteractively(const std::optional<std::string>& source) {
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    // Someone is watching: a file another program holds is waited for a moment, then they are
    // asked.
    system->Files().WaitForFilesInUse(InUseWait::Dialogue());
    std::unique_ptr<Platform> proposing;
    if (source) {
      proposing = std::make_unique<GivenSourcePlatform>(*system, *source);
    }
    return ExitStatus(ResultOf(RunDialogue(proposing ? *proposing : *system)), true);
  } catch (const OutcomeNotShown& error) {
    ReportError(std::string(error.End() == RunEnd::kSucceeded
                                ? "The menu file was converted, but Shiftlet could not say so: "
                                : "The conversion failed, and Shiftlet could not say so: ") +
                ShownError(error.what()));
    return ExitStatus(ResultOf(error.End()), true);
  } catch (const std::exception& error) {
    ReportStartupError(ShownError(error.what()));
  } catch (...) {
    ReportStartupError("unknown error");
  }
  return kExitStartupError;
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
      if (command.unattended) {
        MakeRunOutput(/*check=*/false)->Problem(text);
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
    case CommandLine::Mode::kCheckUndo:
      break;
  }
  try {
    const std::unique_ptr<Platform> system = MakeFrontEnd();
    const std::unique_ptr<RunOutput> output = MakeRunOutput(IsDryRun(command.mode));
    return RunFromCommandLine(*system, command, ReportingCommandName(), *output);
  } catch (const std::exception& error) {
    std::cerr << "error: " << ShownError(error.what()) << '\n' << std::flush;
  }
  return kExitStartupError;
}

}  // namespace shiftlet
