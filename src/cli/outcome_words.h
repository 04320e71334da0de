#pragma once

#include <array>
#include <string>

#include "driver/run_record.h"

namespace shiftlet {

// Where a run left the PC, as every line, report, log and exit status says it.
enum class Result {
  kConverted,      // something was written (or, in a check, would be)
  kUnchanged,      // every file already was as the run would make it
  kKept,           // the new menu file differs and was not to be replaced
  kUndone,         // an undo took something back (or would)
  kNothingToUndo,  // an undo found nothing to take back
  kDeclined,       // the user said No to a question
  kFailed,
  kInUse,       // failed for a file another program still held after the wait: try again later
  kNotStarted,  // an error stopped the program before the run could start
};

// A run that was made, or one a check foresees.
enum class Tense { kDone, kWould };

// The words of each result: what the log's result field says in each tense, and how the line the
// run prints begins ({source} and {destination} stand for the run's files).
struct ResultWords {
  Result result;
  const char* logged;
  const char* loggedWould;
  const char* line;
  const char* lineWould;
};

inline constexpr std::array<ResultWords, 9> kResultWords{{
    {Result::kConverted, "converted", "would convert",
     "converted {source} to {destination}: ", "{source} converts"},
    {Result::kUnchanged, "unchanged", "unchanged", "already converted: ", "already converted: "},
    {Result::kKept, "kept", "kept", "kept {destination}: ", "kept {destination}: "},
    {Result::kUndone, "undone", "would undo", "undone: ", "it would undo: "},
    {Result::kNothingToUndo, "unchanged", "unchanged", "nothing to undo: ", "nothing to undo: "},
    {Result::kDeclined, "declined", "declined", "", ""},
    {Result::kFailed, "failed", "would fail", "error: ", "error: "},
    {Result::kInUse, "failed", "would fail", "error: ", "error: "},
    {Result::kNotStarted, "failed", "would fail", "error: ", "error: "},
}};

// The few phrases whose words change with the tense: of a file that is not written, one that is
// written, removed or left alone, and of what default.qcf names.
struct TenseWords {
  const char* notWritten;   // "so it was not written"
  const char* noneWritten;  // "so none was written"
  const char* updated;
  const char* removed;
  const char* names;
  const char* leftAlone;
};
inline constexpr TenseWords kDoneWords{"was not written", "none was written", "updated", "removed",
                                       "names",           "was left alone"};
inline constexpr TenseWords kWouldWords{"would not be written", "none would be written",
                                        "would be updated",     "would be removed",
                                        "would name",           "would be left alone"};
const TenseWords& WordsOf(Tense tense);

// The result's row of kResultWords.
const ResultWords& WordsOf(Result result);
// The result as the log says it in `tense`.
std::string LoggedResult(Result result, Tense tense);
// How the line of a run from `source` to `destination` that ended so begins, in `tense`.
std::string LineStart(Result result, Tense tense, const std::string& source,
                      const std::string& destination);

// The program's exit status after a run that ended so: 0 it did its job (or found it done), 1
// failed, 2 a question was answered No, 3 it could not start, 1618 a file another program held
// stayed in use (what deployment systems read as "try again later"; someone watching was asked
// to retry, and a Cancel is a question answered No). A new menu file kept because
// someone answered No is a declined question; kept by a run nobody watches, it is the job done,
// as Velmora 1.1 uses that file already (a run that would have to replace a file nothing names
// fails instead).
int ExitStatus(Result result, bool someoneAnswers);
// The exit status when an error stopped the program before the conversion could start.
inline constexpr int kExitStartupError = 3;
// The exit status of a run that met a file another program held: Windows' ERROR_INSTALL_ALREADY_
// RUNNING, which Intune and Configuration Manager retry later by default.
inline constexpr int kExitTryAgainLater = 1618;

// The dialogue's result: how its run ended.
Result ResultOf(RunEnd end);

// Where a run nobody watches left the PC, and the words its line ends with: for kUnchanged "<new>
// holds the conversion of <old> and default.qcf names it; nothing was changed", for kKept
// "default.qcf names it and it differs ...", for kFailed the reason; empty for kConverted,
// kUndone and kNothingToUndo, whose detail is said from the record.
struct Outcome {
  Result result = Result::kFailed;
  std::string said;
};

// The outcome of a conversion (`undo` false) or an undo that left `record`.
Outcome OutcomeOf(const RunRecord& record, bool undo);

// What a conversion did, in `tense`: "13 items<warnings>, already in <new>, so it was not
// written; default.qcf updated", where `warnings` (", 2 warnings ...") is put after the count.
std::string ConversionDetail(const RunRecord& record, Tense tense, const std::string& warnings);

// What an undo did, in `tense`: each step in its words, joined by "; ".
std::string UndoDetail(const RunRecord& record, Tense tense);

// Why a run nobody watches failed: the run's reason, and after a failure for want of rights, how
// to run with them on this system; after a missing folder, what its absence means.
std::string UnattendedFailure(const RunRecord& record);

// "1 item", "2 items".
std::string Plural(std::int64_t count, const char* one, const char* many);

}  // namespace shiftlet
