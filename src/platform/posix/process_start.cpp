#include "platform/process_start.h"

namespace shiftlet {

// A POSIX system loads shared libraries from the paths the program was linked with and the
// system's own, not from the folder the program is in: nothing to narrow.
void PrepareProcess() {}

}  // namespace shiftlet
