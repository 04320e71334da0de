#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "cli/pasted_command.h"
#include "cli/unattended_run.h"
#include "menu/menu_warnings.h"
#include "paths/code_page.h"

namespace shiftlet {

// The report of `shiftlet --check`: the counts, one line per finding ("warning: ..." and, when the
// run would fail, "error: ..." with its reason), the verdict, and, when it would convert, what it
// would write (the new file and its lines, what becomes of default.qcf) and the menus as Velmora
// 1.1 will show them: an indented tree built from the node lines, so a misplaced item shows at a
// glance. Paths, texts and reasons are shown as ShownText shows them in `codePage`.
std::string CheckReport(const UnattendedRecord& check, const CodePage& codePage);

// What fits in a message box: the verdict, the counts, the first `shownFindings` findings, and
// the command (`wholeReportCommand`) that prints the whole report, with its note on a line of its
// own, shown as in CheckReport.
std::string CheckSummary(const UnattendedRecord& check, std::size_t shownFindings,
                         const PastedCommand& wholeReportCommand, const CodePage& codePage);

// "menu.qof line 4, item 3, field 1 (Text): holds a comma, ..."
std::string WarningText(const MenuWarning& warning);

// The command that checks `source` (and `destination`, when the run named one) as a run did:
// `shiftlet-cli --check --source "C:\Velmora\menu.qof" --destination "..."`, built for pasting
// into the shells of the paths' `form` (BuildPastedCommand).
PastedCommand CheckCommand(const std::string& program, const std::string& source,
                           const std::optional<std::string>& destination, const PathForm& form,
                           const CodePage& codePage);

// "1 warning", "2 warnings".
std::string WarningCount(std::size_t warnings);

}  // namespace shiftlet
