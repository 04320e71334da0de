#pragma once

namespace shiftlet {

// Puts the process in the state the program relies on, before it does anything else: main calls
// it first. On Windows, DLLs loaded from then on come from System32 alone, never from the
// program's folder (a Downloads folder may hold anything), and junctions and links made by users
// who are no administrators are not followed (RedirectionGuard, where Windows has it). Elsewhere a
// pipe whose reader has gone fails a write rather than ending the process. Never fails: where the
// system cannot do it, the program runs as before.
void PrepareProcess();

}  // namespace shiftlet
