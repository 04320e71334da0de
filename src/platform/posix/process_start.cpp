#include "platform/process_start.h"

#include <csignal>

namespace shiftlet {

// A POSIX system loads shared libraries from the paths the program was linked with and the
// system's own, not from the folder the program is in: nothing to narrow. A log or an output that
// is a pipe whose reader has gone must not end the program half way through saying what it did:
// such a write fails with EPIPE instead, and is reported as any failed write is.
void PrepareProcess() {
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace shiftlet
