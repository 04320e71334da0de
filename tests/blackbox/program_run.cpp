#include "blackbox/program_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/temp_folder.h"

namespace shiftlet::testing {

ProgramRun RunProgram(const std::string& program, const std::string& workFolder,
                      const std::string& ioFolder, std::string_view input,
                      const std::vector<std::string>& args, double seconds) {
  const std::string in = ioFolder + "/in";
  const std::string out = ioFolder + "/out";
  const std::string err = ioFolder + "/err";
  WriteBytes(in, input);
  // Made before the fork: the child may only make async-signal-safe calls. A wrapper is a
  // command line of its own, which the shell splits.
  std::vector<std::string> words;
  const char* wrapper = std::getenv("SHIFTLET_PROGRAM_WRAPPER");
  if (wrapper != nullptr && *wrapper != '\0') {
    words = {"/bin/sh", "-c", std::string("exec ") + wrapper + " \"$@\"", "sh"};
  }
  words.push_back(program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

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
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }

  ProgramRun run;
  int raw = 0;
  rusage usage{};
  for (;;) {
    const pid_t ended = ::wait4(child, &raw, seconds > 0 ? WNOHANG : 0, &usage);
    if (ended == child) {
      break;
    }
    if (ended < 0 && errno != EINTR) {
      throw std::runtime_error("cannot wait for the program");
    }
    if (ended == 0) {
      const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
      if (taken.count() > seconds && !run.timedOut) {
        ::kill(child, SIGKILL);
        run.timedOut = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux gives kilobytes
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadBytes(out);
  run.err = ReadBytes(err);
  return run;
}

}  // namespace shiftlet::testing
