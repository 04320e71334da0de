#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/append_file.h"

namespace shiftlet {

// Whether this process runs with an administrator's full rights (elevated, or as SYSTEM); true
// when the system does not say, so that the owner is asked all the same.
bool RunsElevated();
// The owner of the open file (opened with READ_CONTROL) as a SID string ("S-1-5-18"); "" when the
// system does not say.
std::string OwnerOf(HANDLE file);
// The user this process runs as, as a SID string.
std::string RunnerSid();

// What opening a log asks of the system about its owner. Tests answer otherwise: Wine gives every
// file the user running it as owner.
struct LogOwnerCalls {
  std::function<bool()> runsElevated = RunsElevated;
  std::function<std::string(HANDLE file)> ownerOf = OwnerOf;
  std::function<std::string()> runner = RunnerSid;
};

// Why an elevated run may not append to the existing log open as `file`: it is owned by someone
// other than the Administrators group, SYSTEM or the user running it, who could then read and
// change what the run logs, or hold it open and stop every run. "" when it may, and always for a
// run that is not elevated.
std::string ForeignOwnerReason(HANDLE file, const LogOwnerCalls& calls);

// OpenForAppending, asking about the log's owner through `calls`.
std::unique_ptr<AppendFile> OpenForAppending(const std::string& path, const LogOwnerCalls& calls);

}  // namespace shiftlet
