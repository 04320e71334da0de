#include "cli/run_log.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "paths/shown_text.h"
#include "platform/append_file.h"

namespace shiftlet {

RunLog::RunLog(const std::string& path, const CodePage& codePage)
    : path_(path), codePage_(codePage) {
  try {
    file_ = OpenForAppending(path);
  } catch (const std::runtime_error& reason) {
    throw std::runtime_error("cannot open the log " + path + " for appending: " + reason.what());
  }
}

RunLog::~RunLog() = default;

bool RunLog::Append(const std::string& source, const std::string& destination,
                    const std::string& result, const std::string& reason) {
  std::string line = LocalTimeIso8601(std::time(nullptr));
  for (const std::string* field : {&source, &destination, &result, &reason}) {
    line += '\t' + ShownText(*field, codePage_);
  }
  return file_->AppendLine(line);
}

std::string RunLog::AppendOrSay(bool done, const std::string& source,
                                const std::string& destination, const std::string& result,
                                const std::string& reason) {
  if (Append(source, destination, result, reason)) {
    return "";
  }
  return std::string(done ? "warning: " : "error: ") + "cannot write to the log " +
         ShownText(path_, codePage_) + '\n';
}

std::string OpenRunLog(const std::optional<std::string>& path, const CodePage& codePage,
                       std::optional<RunLog>& log) {
  if (!path) {
    return "";
  }
  try {
    log.emplace(*path, codePage);
  } catch (const std::exception& error) {
    return "error: " + ShownText(error.what(), codePage) + '\n';
  }
  return "";
}

std::string LoggedDestination(Platform& system, const std::string& picked,
                              const std::optional<std::string>& given) {
  if (!picked.empty() || !given) {
    return picked;
  }
  try {
    return system.FullPath(*given);
  } catch (const std::exception&) {
    return *given;
  }
}

std::string LocalTimeIso8601(std::time_t when) {
  std::tm local = *std::localtime(&when);
  // The offset is the local clock's reading less UTC's, both read as local times.
  std::tm utc = *std::gmtime(&when);
  utc.tm_isdst = local.tm_isdst;
  const long offsetMinutes =
      std::lround(std::difftime(std::mktime(&local), std::mktime(&utc)) / 60);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  const long magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char offset[48];
  std::snprintf(offset, sizeof offset, "%c%02ld:%02ld", offsetMinutes < 0 ? '-' : '+',
                magnitude / 60, magnitude % 60);
  return std::string(stamp) + offset;
}

}  // namespace shiftlet
