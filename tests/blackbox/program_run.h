#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace shiftlet::testing {

// How one run of the built program went.
struct ProgramRun {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  double seconds = 0;           // wall-clock time of the run
  std::uint64_t peakBytes = 0;  // the run's own peak resident memory
};

// Runs `program` in `workFolder` with `input` on its standard input; its output goes through files
// in `ioFolder`. The program is started by fork and exec and reaped with wait4, so the peak memory
// is that of this run alone.
ProgramRun RunProgram(const std::string& program, const std::string& workFolder,
                      const std::string& ioFolder, std::string_view input);

}  // namespace shiftlet::testing
