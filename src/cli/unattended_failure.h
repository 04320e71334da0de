#pragma once

#include <ostream>
#include <string>

#include "driver/shiftlet_core.h"

namespace shiftlet {

// Why a run that nobody watches failed, as the quiet run and the check both say it: the run's
// reason, and after a failure for want of rights, how to run with them on this system; after a
// missing folder, what its absence means.
std::string UnattendedFailure(const ShiftletCore& core);

}  // namespace shiftlet

namespace shiftlet {

// Where a run nobody watches left the PC, in the words the quiet run and the check both use.
struct UnattendedOutcome {
  enum class Result {
    kConverted,  // something was written (or, in a check, would be)
    kUnchanged,  // every file already was as the run would make it
    kKept,       // the new menu file differs, default.qcf names it: left to whoever changed it
    kFailed,
  };
  Result result = Result::kFailed;
  int status = 1;  // the exit status: 0 but for kFailed, which is 1 (3 before anything started)
  // The line's words: for kUnchanged "<new> holds the conversion of <old> and default.qcf names
  // it; nothing was changed", for kKept "default.qcf names it and it differs ...", for kFailed the
  // reason; empty for kConverted, whose detail each says in its own way.
  std::string said;
};

// The outcome of `core`'s conversion of `source`, which ended as `end`.
UnattendedOutcome OutcomeOf(const ShiftletCore& core, RunEnd end, const std::string& source);

// The line an outcome other than kConverted is printed as: "already converted: ...",
// "kept <new>: ...", or the reason of a failure.
std::string OutcomeLine(const UnattendedOutcome& outcome, const std::string& destination);

// Says on `err`, one "warning:" line each, what steps that succeeded had to leave on `system`'s
// disk (a replaced file's backup that could not be removed); returns the same for the end of the
// log's reason ("; warning: ..."), empty when nothing was left.
std::string SayFilesLeftBehind(Platform& system, std::ostream& err);

// The outcome's result in the log: "unchanged", "kept", or `converted` or `failed` as given (a run
// and a check word these two differently).
std::string LoggedResult(const UnattendedOutcome& outcome, const char* converted,
                         const char* failed);

}  // namespace shiftlet
