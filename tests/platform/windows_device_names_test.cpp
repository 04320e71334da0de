#include "platform/windows_device_names.h"

#include <gtest/gtest.h>

#include <string>

namespace shiftlet {
namespace {

// Code page 932's lead bytes.
bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

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
                           "\\\\?\\C:\\x\\con"}) {
    EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn(path)) << path;
  }
}

TEST(WindowsDeviceInTest, DevicePathsAreDevices) {
  for (const char* path :
       {"\\\\.\\PhysicalDrive0", "\\\\.\\C:", "\\\\.\\C:\\menu.qof", "//./pipe/x", "\\\\.\\NUL",
        "\\\\?\\GLOBALROOT\\Device\\Null", "\\\\?\\globalroot\\x", "\\\\?\\PhysicalDrive0",
        "\\\\?\\C:", "\\\\?\\NUL", "\\??\\PhysicalDrive0", "\\\\?\\Volume{1234}", "\\\\?\\UNC"}) {
    EXPECT_EQ(WindowsDevice::kDevicePath, WindowsDeviceIn(path)) << path;
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
                           " NUL"}) {
    EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn(path)) << path;
  }
}

TEST(WindowsDeviceInTest, SecondByteOfADoubleByteCharacterIsNoSeparator) {
  // 表 is 95 5C in code page 932: read by byte, "表NUL.qof" would end in "\NUL.qof".
  const std::string name = "\x95\x5CNUL.qof";
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn(name, IsShiftJisLeadByte));
  EXPECT_EQ(WindowsDevice::kNone, WindowsDeviceIn("C:\\x\\" + name, IsShiftJisLeadByte));
  EXPECT_EQ(WindowsDevice::kReservedName,
            WindowsDeviceIn("C:\\\x95\x5C\\NUL.qof", IsShiftJisLeadByte));
  EXPECT_EQ(WindowsDevice::kReservedName, WindowsDeviceIn(name));  // a single-byte code page
}

}  // namespace
}  // namespace shiftlet
