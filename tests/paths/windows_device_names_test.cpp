#include "paths/windows_device_names.h"

#include <gtest/gtest.h>

#include <string>

#include "paths/code_pages.h"

namespace shiftlet {
namespace {

using testing::ShiftJis;

const CodePage kWindows1252 = testing::Windows1252();

TEST(WindowsDeviceInTest, ReservedNamesAsTheLastPartInAnyFormAreDevices) {
  for (const char* path : {"NUL",
                           "nul",
                           "CON",
                           "Prn",
                           "aux",
                           "COM1",
                           "com9",
                           "LPT1",
                           "lpt9",
                           "CONIN$",
                           "conout$",
                           "NUL.txt",
                           "nul.qnf",
                           "CON.tar.gz",
                           "NUL ",
                           "NUL.",
                           "NUL...",
                           "NUL . .",
                           "COM1 .qnf",
                           "COM1:",
                           "C:\\Program Files\\Velmora\\nul.qnf",
                           "C:/x/LPT3.qof",
                           "C:con",
                           "..\\aux",
                           "\\\\server\\share\\NUL",
                           "\\\\?\\C:\\x\\con",
                           "COM\xB9",
                           "com\xB2.qnf",
                           "C:\\Velmora\\LPT\xB3 .qnf",
                           "lpt\xB9.tmp"}) {
    EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn(path, kWindows1252)) << path;
  }
}

TEST(WindowsDeviceInTest, DevicePathsAreDevices) {
  for (const char* path :
       {"\\\\.\\PhysicalDrive0", "\\\\.\\C:", "\\\\.\\C:\\menu.qof", "//./pipe/x", "\\\\.\\NUL",
        "\\\\?\\GLOBALROOT\\Device\\Null", "\\\\?\\globalroot\\x", "\\\\?\\PhysicalDrive0",
        "\\\\?\\C:", "\\\\?\\NUL", "\\??\\PhysicalDrive0", "\\\\?\\Volume{1234}", "\\\\?\\UNC"}) {
    EXPECT_EQ(WindowsDevice::kDevicePath, WindowsDeviceIn(path, kWindows1252)) << path;
  }
}

TEST(WindowsDeviceInTest, OtherNamesAreFiles) {
  for (const char* path : {"menu.qof",
                           "NULL",
                           "NU",
                           "CONSOLE.qof",
                           "COM0",
                           "COM10",
                           "LPT",
                           "COM1x.qnf",
                           "xNUL",
                           "NUL\\menu.qof",
                           "C:\\NUL\\x.qnf",
                           "C:\\",
                           "C:",
                           "",
                           "\\",
                           "\\\\server\\share\\menu.qof",
                           "\\\\?\\C:\\menu.qof",
                           "\\\\?\\UNC\\server\\share\\menu.qof",
                           "\\\\?\\Volume{1234}\\menu.qof",
                           "C:\\x\\.nul",
                           "COM\xB9\xB9",
                           "COM\xB4",  // an acute accent, not a superscript
                           "LPT\xC2\xB9",
                           " NUL"}) {
    EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn(path, kWindows1252)) << path;
  }
}

TEST(WindowsDeviceInTest, SuperscriptDigitsAreThoseOfTheCodePage) {
  // ¹ is C2 B9 in UTF-8, and in 932 there is none: B9 there is a half-width katakana.
  EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn("COM\xC2\xB9.qnf", CodePage::Utf8()));
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn("COM\xB9.qnf", CodePage::Utf8()));
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn("COM\xB9.qnf", ShiftJis()));
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn("COM\xB9.qnf", CodePage()));
  EXPECT_EQ("it is a device name reserved by Windows",
            WindowsDeviceReason("C:\\LPT\xB2", kWindows1252));
  EXPECT_EQ("it is a Windows device path, not a file",
            WindowsDeviceReason("\\\\.\\C:", kWindows1252));
  EXPECT_EQ("", WindowsDeviceReason("C:\\menu.qnf", kWindows1252));
}

TEST(WindowsDeviceInTest, SecondByteOfADoubleByteCharacterIsNoSeparator) {
  // 表 is 95 5C in code page 932: read by byte, "表NUL.qof" would end in "\NUL.qof".
  const std::string name = "\x95\x5CNUL.qof";
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn(name, ShiftJis()));
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn("C:\\x\\" + name, ShiftJis()));
  EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn("C:\\\x95\x5C\\NUL.qof", ShiftJis()));
  EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn(name, CodePage()));  // single-byte
}

// NUL takes a log that is to be thrown away; no other device does.
TEST(WindowsDeviceInTest, OnlyNulIsTheNullDevice) {
  const CodePage bytes;
  for (const char* path : {"NUL", "nul.log", "C:\\logs\\Nul .txt", "C:nul"}) {
    EXPECT_TRUE(NamesWindowsNullDevice(path, bytes)) << path;
  }
  for (const char* path : {"CON", "COM1.log", "NULL", "C:\\NUL\\x.log", "\\\\.\\NUL", "x.log"}) {
    EXPECT_FALSE(NamesWindowsNullDevice(path, bytes)) << path;
  }
}

}  // namespace
}  // namespace shiftlet
