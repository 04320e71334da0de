#pragma once

#include "driver/platform.h"
#include "driver/shiftlet_core.h"

namespace shiftlet {

// The interactive conversion on `platform`: the dialogue RunConversion leads, and, after its
// success message, one more OK box with a warning icon naming what the run had to leave on the
// disk (a replaced file's old content that could not be removed), as a quiet run's warning line
// does. Throws what RunConversion throws, and OutcomeNotShown when that box cannot be shown.
RunEnd RunDialogue(Platform& platform);

}  // namespace shiftlet
