#pragma once

#include <string>
#include <string_view>

#include "paths/code_page.h"

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
//   CONOUT$, CLOCK$, and COM¹ to COM³, LPT¹ to LPT³ (the superscript digits as `codePage` writes
//   them, where it has them), in any case, with or without an extension, with spaces before the
//   extension and dots or spaces after the name ("nul.txt", "Com1 .qnf", "LPT1...", "C:con").
// Either separator counts. The path is read by characters of `codePage`, so that the second byte
// of a character is never taken for a backslash: "表NUL.qof" (95 5C ...) in 932 is a file named so,
// not a device.
WindowsDevice WindowsDeviceIn(std::string_view path, const CodePage& codePage);

// Whether `path` names NUL, the device that takes what is written to it and keeps nothing ("nul",
// "C:\\x\\NUL.log"): the one device a log may be, to throw it away.
bool NamesWindowsNullDevice(std::string_view path, const CodePage& codePage);

// Why Windows takes `path` for a device and not a file: "it is a device name reserved by Windows",
// "it is a Windows device path, not a file"; empty when it names a file. This is the one meaning a
// device name has in the program: whoever meets one refuses it with this reason.
std::string WindowsDeviceReason(std::string_view path, const CodePage& codePage);

// Throws ConversionFailure "<what> <path>: <reason>" when `path` names a Windows device.
void RefuseWindowsDevice(const char* what, const std::string& path, const CodePage& codePage);

}  // namespace shiftlet
