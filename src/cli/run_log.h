#pragma once

#include <ctime>
#include <memory>
#include <string>

namespace shiftlet {

class AppendFile;

// The log of unattended runs: one line appended per run, fields separated by tabs:
// local time (ISO 8601), source, destination, result ("converted" or "failed"), reason.
class RunLog {
 public:
  // Opens `path` for appending, creating it if need be. Throws std::runtime_error saying why when
  // it cannot, so that nothing is converted without its line.
  explicit RunLog(const std::string& path);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Appends one line in one write, so that runs sharing the log never overwrite each other's
  // lines. Returns false when it could not be written.
  bool Append(const std::string& source, const std::string& destination, const std::string& result,
              const std::string& reason);

 private:
  std::unique_ptr<AppendFile> file_;
};

// `when` in local time as ISO 8601 with the offset from UTC: "2026-12-07T13:05:09+01:00".
std::string LocalTimeIso8601(std::time_t when);

}  // namespace shiftlet
