#include "cli/run_log.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "platform/append_file.h"

namespace shiftlet {

namespace {

// A tab or line end inside a field would break the one-line-per-run form.
std::string OneField(const std::string& text) {
  std::string field = text;
  for (char& c : field) {
    if (c == '\t' || c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  return field;
}

}  // namespace

RunLog::RunLog(const std::string& path) {
  try {
    file_ = OpenForAppending(path);
  } catch (const std::runtime_error& reason) {
    throw std::runtime_error("cannot open the log " + path + " for appending: " + reason.what());
  }
}

RunLog::~RunLog() = default;

bool RunLog::Append(const std::string& source, const std::string& destination,
                    const std::string& result, const std::string& reason) {
  const std::string line = LocalTimeIso8601(std::time(nullptr)) + '\t' + OneField(source) + '\t' +
                           OneField(destination) + '\t' + result + '\t' + OneField(reason);
  return file_->AppendLine(line);
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
