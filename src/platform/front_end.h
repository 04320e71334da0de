#pragma once

#include <memory>
#include <string>

#include "driver/platform.h"
#include "platform/run_output.h"

namespace shiftlet {

// The front-end this build was made with (the terminal one, or the Windows one).
std::unique_ptr<Platform> MakeFrontEnd();

// Tells the user about an error that stopped the program before a conversion could start.
void ReportStartupError(const std::string& what);

// Tells the user about an error after the run, in the front-end's own way.
void ReportError(const std::string& text);

// The name users start this program by, for usage texts: "shiftlet", "shiftlet-cli".
std::string CommandName();

// The program that prints a check's whole report on a console: this one on a terminal,
// shiftlet-cli beside the Windows program.
std::string ReportingCommandName();

// Tells the user that the command line cannot be used (`text`: what is wrong, and the usage): on
// standard error, or, for a program without a terminal, in one error box.
void ReportUsageError(const std::string& text);

// Whether options may also be written the Windows way: /quiet, /source PATH, /?.
bool AcceptsSlashOptions();

// Where the words of a run from the command line go: a check's (`check`), or those of a run
// nobody watches (--quiet, --undo).
std::unique_ptr<RunOutput> MakeRunOutput(bool check);

// Shows a text the command line asked for (help, the version): on a terminal `whole` goes to
// standard output; a program without one shows `boxText` in one message box, with the icon of
// `verdict`.
void ShowCommandText(const std::string& whole, const std::string& boxText, ShownVerdict verdict);

}  // namespace shiftlet
