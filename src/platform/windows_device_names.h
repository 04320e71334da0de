#pragma once

#include <string_view>

namespace shiftlet {

// What a path names, as Windows reads it, when that is a device rather than a file.
enum class WindowsDevice {
  kNone,          // a file's path, as far as its text tells
  kReservedName,  // its last part is a name Windows keeps for a device, wherever it is
  kDevicePath,    // a path into the device namespace: a disk, a volume, a pipe...
};

// Whether `path` names a Windows device, from its text alone:
// - a device path: "\\.\" followed by anything; "\\?\" or "\??\" followed by anything but a
//   drive's folder ("C:\"), a share ("UNC\") or a volume's folder ("Volume{...}\"), so
//   "\\?\GLOBALROOT\...", "\\?\PhysicalDrive0" and "\\?\C:" (the volume itself) are;
// - a reserved name as the last part: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$,
//   CONOUT$, CLOCK$, in any case, with or without an extension, with spaces before the extension
//   and dots or spaces after the name ("nul.txt", "Com1 .qnf", "LPT1...", "C:con").
// Either separator counts. `isLeadByte` names the lead bytes of the system's double-byte code page
// (null for a single-byte one), so that the second byte of a character is never taken for a
// backslash: "表NUL.qof" (95 5C ...) is a file named so, not a device.
WindowsDevice WindowsDeviceIn(std::string_view path, bool (*isLeadByte)(unsigned char) = nullptr);

}  // namespace shiftlet
