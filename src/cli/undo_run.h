#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "driver/platform.h"
#include "driver/shiftlet_core.h"

namespace shiftlet {

// What an undo did, or, over a dry run, would do.
struct UndoRun {
  int status = 0;           // 0 undone (or nothing to undo), 1 failed, 3 could not start
  std::string source;       // the old menu file, as the undo took it
  std::string destination;  // the new menu file, as the undo took it
  std::string failure;      // why it failed
  std::vector<UndoStep> steps;
  bool changes = false;  // whether anything was (or would be) taken back
};

// Runs ShiftletCore::UndoConversion unattended over `system`, for `source` and `destination`
// (each picker's proposal where not given); with `dryRun`, with every write and removal kept in
// memory, so that the disk is left as it was and the outcome is the one a real undo would have.
UndoRun RunUndo(Platform& system, const std::optional<std::string>& source,
                const std::optional<std::string>& destination, bool dryRun);

// The line an undo prints: "undone: ...", "nothing to undo: ...", or, with `dryRun`, "it would
// undo: ..."; each step in its words, joined by "; ". Empty after a failure.
std::string UndoLine(const UndoRun& undo, bool dryRun);

// `--undo` and `--check --undo`: runs the undo, prints its line to `out` (or "error: ..." to
// `err`), appends a line to the log when one is named ("undone", "unchanged" or "failed"; a
// check's "would undo", "unchanged" or "would fail"). Returns the exit status.
int Undo(Platform& system, const CommandLine& command, std::ostream& out, std::ostream& err);

}  // namespace shiftlet
