#include "blackbox/program_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "support/temp_folder.h"

namespace shiftlet::testing {

ProgramRun RunProgram(const std::string& program, const std::string& workFolder,
                      const std::string& ioFolder, std::string_view input) {
  const std::string in = ioFolder + "/in";
  const std::string out = ioFolder + "/out";
  const std::string err = ioFolder + "/err";
  WriteBytes(in, input);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) {
    throw std::runtime_error("cannot fork");
  }
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int inFd = ::open(in.c_str(), O_RDONLY);
    const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (inFd < 0 || outFd < 0 || errFd < 0 || ::dup2(inFd, 0) < 0 || ::dup2(outFd, 1) < 0 ||
        ::dup2(errFd, 2) < 0 || ::chdir(workFolder.c_str()) != 0) {
      ::_exit(127);
    }
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
  }

  int raw = 0;
  rusage usage{};
  while (::wait4(child, &raw, 0, &usage) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("cannot wait for the program");
    }
  }
  ProgramRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux gives kilobytes
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadBytes(out);
  run.err = ReadBytes(err);
  return run;
}

}  // namespace shiftlet::testing
