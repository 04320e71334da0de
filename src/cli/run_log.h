#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "driver/platform.h"
#include "paths/code_page.h"

namespace shiftlet {

class AppendFile;

// The log of unattended runs and checks: one line appended per run, fields separated by tabs:
// local time (ISO 8601), source, destination, result (the words of kResultWords, in
// outcome_words.h), reason. Each field is shown as ShownText shows it, by characters of
// the system's code page, so that a tab or a line end from a file or a name stays in its field.
class RunLog {
 public:
  // Opens `path` for appending, creating it if need be. Throws std::runtime_error saying why when
  // it cannot, so that nothing is converted without its line.
  RunLog(const std::string& path, const CodePage& codePage);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Appends one line in one write, so that runs sharing the log never overwrite each other's
  // lines. Returns false when it could not be written.
  bool Append(const std::string& source, const std::string& destination, const std::string& result,
              const std::string& reason);

  // Append, and when the line cannot be written, returns the line that says so: a "warning:"
  // after a run that did its job (`done`: its files, or its verdict, stand), else an "error:".
  // Empty when the line was written.
  std::string AppendOrSay(bool done, const std::string& source, const std::string& destination,
                          const std::string& result, const std::string& reason);

 private:
  std::unique_ptr<AppendFile> file_;
  std::string path_;
  CodePage codePage_;
};

// Opens the log a command line names, before its run: an administrator who asked for one gets no
// run without its line. Returns the "error:" line that says why it cannot be opened; empty when it
// is open, or none is named.
std::string OpenRunLog(const std::optional<std::string>& path, const CodePage& codePage,
                       std::optional<RunLog>& log);

// The destination a run's line names: the one the run picked, or, for a run that failed before
// picking one, the one it was given (`given`) made full, if any.
std::string LoggedDestination(Platform& system, const std::string& picked,
                              const std::optional<std::string>& given);

// `when` in local time as ISO 8601 with the offset from UTC: "2026-12-07T13:05:09+01:00".
std::string LocalTimeIso8601(std::time_t when);

}  // namespace shiftlet
