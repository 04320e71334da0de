#pragma once

#include <cstddef>
#include <string>

#include "menu/check_menu_file.h"

namespace shiftlet {

// The report of `shiftlet --check`: the counts, one line per finding ("warning: ..." or
// "error: ..."), the verdict, and, when the file converts, its menus as Velmora 1.1 will show them:
// an indented tree built from the node lines, so that a misplaced item shows at a glance.
std::string CheckReport(const MenuFileCheck& check, const std::string& path);

// What fits in a message box: the verdict, the counts, the first `shownFindings` findings, and
// the command (`wholeReportCommand`) that prints the whole report.
std::string CheckSummary(const MenuFileCheck& check, const std::string& path,
                         std::size_t shownFindings, const std::string& wholeReportCommand);

// "warning: menu.qof line 4, item 3, field 1 (Text): holds a comma, ..."
std::string FindingLine(const MenuFinding& finding);

}  // namespace shiftlet
