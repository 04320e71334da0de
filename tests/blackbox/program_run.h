#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace shiftlet::testing {

// How one run of the built program went.
struct ProgramRun {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  double seconds = 0;           // wall-clock time of the run
  std::uint64_t peakBytes = 0;  // the run's own peak resident memory
  bool timedOut = false;        // killed after the time it was given
};

// Runs `program` with `args` in `workFolder` with `input` on its standard input; its output goes
// through files in `ioFolder`. The program is started by fork and exec and reaped with wait4, so
// the peak memory is that of this run alone. With `seconds` above 0, a run still going then is
// killed. SHIFTLET_PROGRAM_WRAPPER, when set, runs the program under a checker, such as valgrind.
ProgramRun RunProgram(const std::string& program, const std::string& workFolder,
                      const std::string& ioFolder, std::string_view input,
                      const std::vector<std::string>& args = {}, double seconds = 0);

}  // namespace shiftlet::testing
