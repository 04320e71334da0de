#pragma once

#include <string>

#include "driver/shiftlet_core.h"

namespace shiftlet {

// Why a run that nobody watches failed, as the quiet run and the check both say it: the run's
// reason, and after a failure for want of rights, how to run with them on this system; after a
// missing folder, what its absence means.
std::string UnattendedFailure(const ShiftletCore& core);

}  // namespace shiftlet
