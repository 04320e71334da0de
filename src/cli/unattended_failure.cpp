#include "cli/unattended_failure.h"

#include "driver/messages.h"
#include "paths/shown_text.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

std::string UnattendedFailure(const ShiftletCore& core) {
  switch (core.FailureCause()) {
    case ConversionFailure::Cause::kAccessDenied:
      return core.FailureReason() + "; " + RightsAdvice();
    case ConversionFailure::Cause::kMissingFolder:
      // Nobody is there to see a dialog refuse the folder, so the run says what its absence
      // means: the folder Velmora 1.1 installs is where the new file goes.
      return core.FailureReason() + "; Velmora 1.1 may not be installed";
    case ConversionFailure::Cause::kInUse:  // its reason names the file and the holder
    case ConversionFailure::Cause::kOther:
      break;
  }
  return core.FailureReason();
}

}  // namespace shiftlet

namespace shiftlet {

UnattendedOutcome OutcomeOf(const ShiftletCore& core, RunEnd end, const std::string& source) {
  using Result = UnattendedOutcome::Result;
  const std::string& destination = core.State().DestinationPath;
  const std::string configuration = messages::kConfigurationName;
  switch (end) {
    case RunEnd::kSucceeded:
      if (core.NewFileChanged() || core.ConfigurationChanged()) {
        return {Result::kConverted, 0, ""};
      }
      return {Result::kUnchanged, 0,
              destination + " holds the conversion of " + source + " and " +
                  (core.ConfigurationUpdated() ? configuration + " names it"
                                               : "there is no " + configuration) +
                  "; nothing was changed"};
    case RunEnd::kKept:
      if (core.DestinationInUse()) {
        return {Result::kKept, 0,
                configuration + " names it and it differs from the conversion of " + source +
                    " (changed since it was converted?); --replace replaces it"};
      }
      return {Result::kFailed, 1,
              destination + " exists and differs from the conversion of " + source +
                  "; nothing was changed; --replace replaces it"};
    case RunEnd::kFailed:
    case RunEnd::kDeclined:
      break;
  }
  return {Result::kFailed, 1, UnattendedFailure(core)};
}

std::string OutcomeLine(const UnattendedOutcome& outcome, const std::string& destination) {
  switch (outcome.result) {
    case UnattendedOutcome::Result::kUnchanged:
      return "already converted: " + outcome.said;
    case UnattendedOutcome::Result::kKept:
      return "kept " + destination + ": " + outcome.said;
    case UnattendedOutcome::Result::kConverted:
    case UnattendedOutcome::Result::kFailed:
      break;
  }
  return outcome.said;
}

std::string SayFilesLeftBehind(Platform& system, std::ostream& err) {
  std::string said;
  for (const std::string& leftBehind : system.Files().TakeFilesLeftBehind()) {
    err << "warning: " << ShownText(leftBehind, system.NameCodePage()) << '\n' << std::flush;
    said += "; warning: " + leftBehind;
  }
  return said;
}

std::string LoggedResult(const UnattendedOutcome& outcome, const char* converted,
                         const char* failed) {
  switch (outcome.result) {
    case UnattendedOutcome::Result::kUnchanged:
      return "unchanged";
    case UnattendedOutcome::Result::kKept:
      return "kept";
    case UnattendedOutcome::Result::kConverted:
      return converted;
    case UnattendedOutcome::Result::kFailed:
      break;
  }
  return failed;
}

}  // namespace shiftlet
