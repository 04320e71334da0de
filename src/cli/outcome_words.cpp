#include "cli/outcome_words.h"

#include <string_view>

#include "driver/messages.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

namespace {

// `words` with its marks replaced, each once: a path may hold the text of a mark itself.
std::string Filled(std::string_view words, const std::string& source,
                   const std::string& destination) {
  std::string text;
  while (!words.empty()) {
    if (words.rfind("{source}", 0) == 0) {
      text += source;
      words.remove_prefix(std::string_view("{source}").size());
    } else if (words.rfind("{destination}", 0) == 0) {
      text += destination;
      words.remove_prefix(std::string_view("{destination}").size());
    } else {
      text += words.front();
      words.remove_prefix(1);
    }
  }
  return text;
}

// One undo step in its words.
std::string StepText(const UndoStep& step, const TenseWords& words) {
  const std::string backup =
      messages::kConfigurationName + std::string(messages::kConfigurationBackupSuffix);
  switch (step.kind) {
    case UndoStep::Kind::kConfigurationRestored:
    case UndoStep::Kind::kConfigurationRestoredBackupKept:
    case UndoStep::Kind::kConfigurationFirstFieldRestored: {
      const std::string restored = step.path + " " + words.names + " \"" + step.after +
                                   "\" again, as before the conversion, and not \"" + step.before +
                                   "\" (" + backup;
      if (step.kind == UndoStep::Kind::kConfigurationRestored) {
        return restored + " " + words.removed + ")";
      }
      if (step.kind == UndoStep::Kind::kConfigurationRestoredBackupKept) {
        return restored + " kept, as the new menu file is kept)";
      }
      return restored + " kept: " + messages::kConfigurationName +
             " had changed since the conversion)";
    }
    case UndoStep::Kind::kConfigurationNamesOther:
      return step.path + " names \"" + step.before + "\", not the new menu file, so it " +
             words.leftAlone;
    case UndoStep::Kind::kNoConfiguration:
    case UndoStep::Kind::kNoMenuFile:
      return "there is no " + step.path;
    case UndoStep::Kind::kMenuFileRemoved:
      return step.path + " " + words.removed + ": it held the conversion of " + step.before;
    case UndoStep::Kind::kMenuFileDiffers:
      return "kept " + step.path + ": it differs from the conversion of " + step.before +
             " (changed since it was converted?)";
    case UndoStep::Kind::kMenuFileNamed:
      return "kept " + step.path + ": " + messages::kConfigurationName + " still names it";
    case UndoStep::Kind::kMenuFileUnknown:
      return "kept " + step.path + ": nobody can tell whether it was changed, as " + step.before +
             " does not convert (" + step.after + ")";
  }
  return "";
}

}  // namespace

const TenseWords& WordsOf(Tense tense) {
  return tense == Tense::kDone ? kDoneWords : kWouldWords;
}

const ResultWords& WordsOf(Result result) {
  for (const ResultWords& words : kResultWords) {
    if (words.result == result) {
      return words;
    }
  }
  return kResultWords.back();
}

std::string LoggedResult(Result result, Tense tense) {
  const ResultWords& words = WordsOf(result);
  return tense == Tense::kDone ? words.logged : words.loggedWould;
}

std::string LineStart(Result result, Tense tense, const std::string& source,
                      const std::string& destination) {
  const ResultWords& words = WordsOf(result);
  return Filled(tense == Tense::kDone ? words.line : words.lineWould, source, destination);
}

int ExitStatus(Result result, bool someoneAnswers) {
  switch (result) {
    case Result::kConverted:
    case Result::kUnchanged:
    case Result::kUndone:
    case Result::kNothingToUndo:
      return 0;
    case Result::kKept:
      return someoneAnswers ? 2 : 0;
    case Result::kDeclined:
      return 2;
    case Result::kFailed:
      return 1;
    case Result::kInUse:
      return someoneAnswers ? 2 : kExitTryAgainLater;
    case Result::kNotStarted:
      return kExitStartupError;
  }
  return 1;
}

Result ResultOf(RunEnd end) {
  switch (end) {
    case RunEnd::kSucceeded:
      return Result::kConverted;
    case RunEnd::kDeclined:
      return Result::kDeclined;
    case RunEnd::kKept:
      return Result::kKept;
    case RunEnd::kFailed:
      break;
  }
  return Result::kFailed;
}

Outcome OutcomeOf(const RunRecord& record, bool undo) {
  const std::string& source = record.source;
  const std::string& destination = record.destination;
  const std::string configuration = messages::kConfigurationName;
  switch (record.end) {
    case RunEnd::kSucceeded:
      if (undo) {
        return {record.Undid() ? Result::kUndone : Result::kNothingToUndo, ""};
      }
      if (record.Converted()) {
        return {Result::kConverted, ""};
      }
      return {Result::kUnchanged, destination + " holds the conversion of " + source + " and " +
                                      (record.configurationFound ? configuration + " names it"
                                                                 : "there is no " + configuration) +
                                      "; nothing was changed"};
    case RunEnd::kKept: {
      const std::string differs = " it differs from the conversion of " + source +
                                  " (changed since it was converted?); --replace replaces it";
      switch (record.kept) {
        case RunRecord::Kept::kNamed:
          return {Result::kKept, configuration + " names it and" + differs};
        case RunRecord::Kept::kNamedAgain:
          return {Result::kKept,
                  configuration + " names it again, as an undo had kept it, and" + differs};
        case RunRecord::Kept::kNoConfiguration:
          return {Result::kKept, "there is no " + configuration + " and" + differs};
        case RunRecord::Kept::kOldFile:
          return {Result::kFailed, destination +
                                       " is the old menu file itself, and differs from its "
                                       "conversion; nothing was changed; --replace replaces it"};
        case RunRecord::Kept::kUnnamed:
          break;
      }
      return {Result::kFailed, destination + " exists and differs from the conversion of " +
                                   source + "; nothing was changed; --replace replaces it"};
    }
    case RunEnd::kFailed:
    case RunEnd::kDeclined:
      break;
  }
  return {
      record.failureCause == ConversionFailure::Cause::kInUse ? Result::kInUse : Result::kFailed,
      UnattendedFailure(record)};
}

std::string ConversionDetail(const RunRecord& record, Tense tense, const std::string& warnings) {
  const TenseWords& words = WordsOf(tense);
  std::string detail = Plural(record.items, "item", "items") + warnings;
  if (!record.newFileChanged) {
    detail += ", already in " + record.destination + ", so it " + words.notWritten;
  }
  detail += std::string("; ") + messages::kConfigurationName;
  if (!record.configurationFound) {
    return detail + " not found, so " + words.noneWritten;
  }
  return detail + " " + (record.configurationChanged ? words.updated : "already names it");
}

std::string UndoDetail(const RunRecord& record, Tense tense) {
  std::string detail;
  const char* separator = "";
  for (const UndoStep& step : record.undoSteps) {
    detail += separator + StepText(step, WordsOf(tense));
    separator = "; ";
  }
  return detail;
}

std::string UnattendedFailure(const RunRecord& record) {
  switch (record.failureCause) {
    case ConversionFailure::Cause::kAccessDenied:
      return record.failure + "; " + RightsAdvice();
    case ConversionFailure::Cause::kMissingFolder:
      // Nobody is there to see a dialog refuse the folder, so the run says what its absence
      // means: the folder Velmora 1.1 installs is where the new file goes.
      return record.failure + "; Velmora 1.1 may not be installed";
    case ConversionFailure::Cause::kInUse:
      // Nothing is lost: what was complete stays, and the next run finishes the job.
      return record.failure + "; run it again later";
    case ConversionFailure::Cause::kOther:
      break;
  }
  return record.failure;
}

std::string Plural(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace shiftlet
