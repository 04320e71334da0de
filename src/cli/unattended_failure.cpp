#include "cli/unattended_failure.h"

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
    case ConversionFailure::Cause::kOther:
      break;
  }
  return core.FailureReason();
}

}  // namespace shiftlet
