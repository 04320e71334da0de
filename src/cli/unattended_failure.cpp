#include "cli/unattended_failure.h"

#include "platform/system_file_layer.h"

namespace shiftlet {

std::string UnattendedFailure(const ShiftletCore& core) {
  if (!core.FailedForRights()) {
    return core.FailureReason();
  }
  return core.FailureReason() + "; " + RightsAdvice();
}

}  // namespace shiftlet
