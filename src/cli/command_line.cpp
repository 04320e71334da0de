#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <utility>

namespace shiftlet {

CommandLine ParseCommandLine(const std::vector<std::string>& args, bool slashOptions) {
  CommandLine command;
  CLI::App app;
  app.set_help_flag();  // help is ours, so that it reads the same in every front-end
  bool help = false;
  bool version = false;
  bool quiet = false;
  bool check = false;
  bool undo = false;
  app.add_flag("-h,--help", help);
  app.add_flag("--version", version);
  CLI::Option* quietFlag = app.add_flag("--quiet", quiet);
  CLI::Option* checkFlag = app.add_flag("--check", check);
  CLI::Option* replaceFlag = app.add_flag("--replace", command.replace);
  CLI::Option* undoFlag = app.add_flag("--undo", undo);
  CLI::Option* source = app.add_option("--source", command.source);
  CLI::Option* destination = app.add_option("--destination", command.destination);
  CLI::Option* log = app.add_option("--log", command.log);
  CLI::Option* wait = app.add_option("--wait", command.waitSeconds)
                          ->check(CLI::Range(0, kLongestWaitSeconds))
                          ->option_text("SECONDS");
  CLI::Option* path = app.add_option("path", command.path);
  for (CLI::Option* option : {source, destination, log, wait, path}) {
    option->type_size(1)->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
  }
  quietFlag->excludes(checkFlag);
  undoFlag->excludes(quietFlag);
  undoFlag->excludes(replaceFlag);
  // Set either way: CLI11 takes them by default when built for Windows.
  app.allow_windows_style_options(slashOptions);

  // CLI11 wants the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  for (std::string& arg : reversed) {
    if (slashOptions && arg == "/?") {
      arg = "--help";
    }
    const std::size_t dashes = arg.rfind("--", 0) == 0 ? 2 : slashOptions && arg.rfind('/', 0) == 0;
    for (const CLI::Option* unattended : {quietFlag, undoFlag}) {
      command.unattended |= dashes > 0 && unattended->check_lname(arg.substr(dashes));
    }
  }
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    command.mode = CommandLine::Mode::kUsageError;
    command.error = error.what();
    return command;
  }
  if (help || version) {
    command.mode = help ? CommandLine::Mode::kHelp : CommandLine::Mode::kVersion;
    if (args.size() > 1) {
      command.mode = CommandLine::Mode::kUsageError;
      command.error = std::string(help ? "--help" : "--version") + " takes no other option";
    }
    return command;
  }
  for (const auto& [option, name] : {std::pair{source, "--source"},
                                     {destination, "--destination"},
                                     {log, "--log"},
                                     {wait, "--wait"}}) {
    if (option->count() > 0 && !quiet && !check && !undo) {
      command.mode = CommandLine::Mode::kUsageError;
      command.error = std::string(name) + " needs --quiet, --check or --undo";
      return command;
    }
  }
  if (command.replace && !quiet && !check) {
    command.mode = CommandLine::Mode::kUsageError;
    command.error = "--replace needs --quiet or --check";
    return command;
  }
  if (path->count() > 0 && (quiet || check || undo)) {
    command.mode = CommandLine::Mode::kUsageError;
    command.error =
        "a path alone is for the dialogue; with --quiet, --check or --undo, use --source PATH";
    return command;
  }
  if (check) {
    command.mode = undo ? CommandLine::Mode::kCheckUndo : CommandLine::Mode::kCheck;
  } else if (quiet) {
    command.mode = CommandLine::Mode::kQuiet;
  } else if (undo) {
    command.mode = CommandLine::Mode::kUndo;
  }
  return command;
}

UnattendedJob JobOf(CommandLine::Mode mode) {
  return mode == CommandLine::Mode::kUndo || mode == CommandLine::Mode::kCheckUndo
             ? UnattendedJob::kUndo
             : UnattendedJob::kConvert;
}

bool IsDryRun(CommandLine::Mode mode) {
  return mode == CommandLine::Mode::kCheck || mode == CommandLine::Mode::kCheckUndo;
}

std::string UsageText(const std::string& programName) {
  const std::string line = "       " + programName;
  return "usage: " + programName + " [PATH]\n" + line +
         " --quiet [--replace] [--source PATH] [--destination PATH] [--log FILE] [--wait "
         "SECONDS]\n" +
         line +
         " --check [--replace | --undo] [--source PATH] [--destination PATH] [--log FILE]"
         " [--wait SECONDS]\n" +
         line + " --undo [--source PATH] [--destination PATH] [--log FILE] [--wait SECONDS]\n" +
         line + " --help | --version\n";
}

std::string HelpText(const std::string& programName) {
  return UsageText(programName) +
         "\n"
         "With no option, Shiftlet asks its questions and lets you pick the old menu file and the\n"
         "new one, as it always has. Given a PATH (a file dropped on the program), the first\n"
         "picker proposes that file.\n"
         "\n"
         "  --quiet               convert without a question, a box or a picker: the answers are\n"
         "                        Yes, and each picker's proposal is taken unless a path is given\n"
         "  --source PATH         the old menu file (.qof) to convert or check\n"
         "  --destination PATH    the new menu file (.qnf); default.qcf beside it is updated\n"
         "  --log FILE            add one line per run to FILE, fields separated by tabs: time,\n"
         "                        source, destination, result, reason; the result is converted,\n"
         "                        unchanged, kept, undone or failed, and a check's \"would\n"
         "                        convert\", \"would undo\" or \"would fail\", so that a check on\n"
         "                        every PC before deploying shows which would fail, and why\n"
         "  --check               run the conversion with every write kept in memory and report\n"
         "                        what it would do: the same verdict and reason as --quiet;\n"
         "                        nothing is written\n"
         "  --replace             replace a new menu file that differs from the conversion (it\n"
         "                        may hold changes made in Velmora 1.1); without it such a file\n"
         "                        is kept and nothing is written\n"
         "  --wait SECONDS        how long to wait in all for a file another program holds\n"
         "                        open (Velmora, a virus scanner) before giving up: 30 by\n"
         "                        default, 0 not at all\n"
         "  --undo                take the conversion back: default.qcf names the old menu file\n"
         "                        again (from default.qcf.before-shiftlet), and the new menu file\n"
         "                        is removed if it still holds exactly the conversion\n"
         "  --help                this text\n"
         "  --version             the program's version\n"
         "\n"
         "Exit status: 0 converted, already converted, kept or undone (or, with --check, it would\n"
         "be), 1 failed (or would fail),\n"
         "2 a question was answered No, 3 stopped before converting, 64 a bad command line,\n"
         "1618 a file another program held stayed in use: nothing was lost; run it again later.\n";
}

std::string VersionText() {
  return "Shiftlet " SHIFTLET_VERSION "\n" SHIFTLET_DESCRIPTION "\n";
}

}  // namespace shiftlet
