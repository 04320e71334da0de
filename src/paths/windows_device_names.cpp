#include "paths/windows_device_names.h"

#include <array>
#include <cstddef>

#include "paths/path_text.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) {
    return false;
  }
  for (std::size_t at = 0; at < start.size(); ++at) {
    if (Upper(text[at]) != start[at]) {
      return false;
    }
  }
  return true;
}

bool EqualsNoCase(std::string_view text, std::string_view other) {
  return text.size() == other.size() && StartsWithNoCase(text, other);
}

// What follows "\\?\" or "\??\": Windows passes it to the device namespace untouched, where only a
// drive's folder, a share and a volume's folder are files.
bool IsFileAfterVerbatimPrefix(std::string_view rest) {
  if (rest.size() >= 3 && StartsWithDrive(rest) && IsSeparator(rest[2])) {
    return true;
  }
  if (StartsWithNoCase(rest, "UNC") && rest.size() > 3 && IsSeparator(rest[3])) {
    return true;
  }
  if (StartsWithNoCase(rest, "VOLUME{")) {
    const std::size_t close = rest.find('}');
    return close != std::string_view::npos && close + 1 < rest.size() &&
           IsSeparator(rest[close + 1]);
  }
  return false;
}

bool IsDevicePath(std::string_view path) {
  if (path.size() < 4 || !IsSeparator(path[0]) || !IsSeparator(path[3])) {
    return false;
  }
  if (IsSeparator(path[1]) && path[2] == '.') {
    return true;  // "\\.\"
  }
  const bool verbatim =
      (IsSeparator(path[1]) || path[1] == '?') && path[2] == '?';  // "\\?\", "\??\"
  return verbatim && !IsFileAfterVerbatimPrefix(path.substr(4));
}

// The name Windows reads a path's last part as when it looks for a device: up to its first dot
// (or a colon, "COM1:"), less the spaces before it.
std::string_view DeviceNameIn(std::string_view part) {
  std::size_t end = 0;
  while (end < part.size() && part[end] != '.' && part[end] != ':') {
    ++end;
  }
  while (end > 0 && part[end - 1] == ' ') {
    --end;
  }
  return part.substr(0, end);
}

bool IsReservedName(std::string_view part, const CodePage& codePage) {
  const std::string_view name = DeviceNameIn(part);
  constexpr std::array<std::string_view, 7> kNames = {"CON",    "PRN",     "AUX",   "NUL",
                                                      "CONIN$", "CONOUT$", "CLOCK$"};
  for (const std::string_view reserved : kNames) {
    if (EqualsNoCase(name, reserved)) {
      return true;
    }
  }
  if (name.size() < 4 || !(StartsWithNoCase(name, "COM") || StartsWithNoCase(name, "LPT"))) {
    return false;
  }
  const std::string_view number = name.substr(3);
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') ||
         codePage.SuperscriptDigit(number) != 0;
}

}  // namespace

WindowsDevice WindowsDeviceIn(std::string_view path, const CodePage& codePage) {
  if (IsDevicePath(path)) {
    return WindowsDevice::kDevicePath;
  }
  // The last part, after the last separator or a drive ("C:nul"), as every path is cut.
  return IsReservedName(NameOf(path, kWindowsPaths, codePage), codePage)
             ? WindowsDevice::kReservedName
             : WindowsDevice::kNone;
}

bool NamesWindowsNullDevice(std::string_view path, const CodePage& codePage) {
  return !IsDevicePath(path) &&
         EqualsNoCase(DeviceNameIn(NameOf(path, kWindowsPaths, codePage)), "NUL");
}

std::string WindowsDeviceReason(std::string_view path, const CodePage& codePage) {
  switch (WindowsDeviceIn(path, codePage)) {
    case WindowsDevice::kReservedName:
      return "it is a device name reserved by Windows";
    case WindowsDevice::kDevicePath:
      return "it is a Windows device path, not a file";
    case WindowsDevice::kNone:
      break;
  }
  return {};
}

void RefuseWindowsDevice(const char* what, const std::string& path, const CodePage& codePage) {
  const std::string reason = WindowsDeviceReason(path, codePage);
  if (!reason.empty()) {
    throw ConversionFailure(std::string(what) + " " + path + ": " + reason);
  }
}

}  // namespace shiftlet
