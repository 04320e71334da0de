// The log on Windows: shared with its readers, and refused to an elevated run where another user
// owns it. Wine gives every file the user running it as owner, so the seam names the owner.

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/win32/log_owner.h"
#include "support/temp_folder.h"

namespace shiftlet {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(Win32LogTest, AnElevatedRunAppendsOnlyToALogAnAdministratorCouldHaveMade) {
  TempFolder folder;
  const std::string path = folder / "shiftlet.log";
  WriteBytes(path, "earlier\r\n");
  const std::string otherUser = "S-1-5-21-1004336348-1177238915-682003330-1001";
  const struct {
    const char* what;
    bool elevated;
    std::string owner;
    bool refused;
  } cases[] = {
      {"another user's", true, otherUser, true},
      {"an owner the system does not tell", true, "", true},
      {"the administrators'", true, "S-1-5-32-544", false},
      {"SYSTEM's", true, "S-1-5-18", false},
      {"the runner's own", true, RunnerSid(), false},
      {"another user's, to a run that is not elevated", false, otherUser, false},
  };
  // A reader, as `Get-Content -Wait` holds it, stops no run.
  const HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  std::string expected = "earlier\r\n";
  for (const auto& c : cases) {
    LogOwnerCalls calls;
    calls.runsElevated = [&c] { return c.elevated; };
    calls.ownerOf = [&c](HANDLE) { return c.owner; };
    try {
      OpenForAppending(path, calls)->AppendLine(c.what);
      expected += std::string(c.what) + "\r\n";
      EXPECT_FALSE(c.refused) << c.what;
    } catch (const std::runtime_error& error) {
      EXPECT_TRUE(c.refused) << c.what << ": " << error.what();
      EXPECT_EQ(0U, std::string(error.what())
                        .find("it is owned by " +
                              (c.owner.empty() ? "an account the system does not name" : c.owner) +
                              ", not by the Administrators group, SYSTEM or "
                              "the user running this program"))
          << error.what();
    }
  }
  CloseHandle(reader);
  EXPECT_EQ(expected, ReadBytes(path));
  // A log that is not there yet is made, whoever would own it.
  LogOwnerCalls calls;
  calls.ownerOf = [&otherUser](HANDLE) { return otherUser; };
  OpenForAppending(folder / "new.log", calls)->AppendLine("first");
  EXPECT_EQ("first\r\n", ReadBytes(folder / "new.log"));
}

}  // namespace
}  // namespace shiftlet
