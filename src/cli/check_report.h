#pragma once

#include <cstddef>
#include <string>

#include "cli/check_run.h"

namespace shiftlet {

// The report of `shiftlet --check`: the counts, one line per finding ("warning: ..." and, when the
// run would fail, "error: ..." with its reason), the verdict, and, when it would convert, what it
// would write (the new file and its lines, what becomes of default.qcf) and the menus as Velmora
// 1.1 will show them: an indented tree built from the node lines, so a misplaced item shows at a
// glance.
std::string CheckReport(const DryRunCheck& check);

// What fits in a message box: the verdict, the counts, the first `shownFindings` findings, and
// the command (`wholeReportCommand`) that prints the whole report.
std::string CheckSummary(const DryRunCheck& check, std::size_t shownFindings,
                         const std::string& wholeReportCommand);

// "warning: menu.qof line 4, item 3, field 1 (Text): holds a comma, ..."
std::string WarningLine(const MenuWarning& warning);

// "1 warning", "2 warnings".
std::string WarningCount(std::size_t warnings);

}  // namespace shiftlet
