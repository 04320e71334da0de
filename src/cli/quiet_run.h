#pragma once

#include <ostream>
#include <string>

#include "cli/command_line.h"
#include "driver/platform.h"

namespace shiftlet {

// The unattended conversion: the interactive run, through the same RunConversion, with boxes and
// pickers that answer by themselves over `system`'s files. Prints one line on success to `out`
// (what was converted to where, how many items, how many warnings a check would find, with the
// `checkCommand` check that lists them, what became of default.qcf), or one line beginning
// "error:" to `err`; appends a line to the log when one is named. Returns the exit status: 0
// converted (even when its log line could not be written, which is then a "warning:" on `err`), 1
// failed or the log could not be opened, 3 stopped before converting.
int RunQuietly(Platform& system, const CommandLine& command, const std::string& checkCommand,
               std::ostream& out, std::ostream& err);

}  // namespace shiftlet
