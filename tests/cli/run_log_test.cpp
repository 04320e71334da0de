// The log of unattended runs on the system's own files: runs that share one log each keep their
// line, and a log that cannot be opened or written says so.

#include "cli/run_log.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

#include <filesystem>
#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

namespace shiftlet {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// Everything after the time stamp of each line, the lines joined by '|'.
std::string LinesWithoutTime(const std::string& log) {
  std::string lines;
  for (std::size_t at = 0; at < log.size();) {
    const std::size_t end = log.find(kLineEnd, at);
    if (end == std::string::npos) {
      return lines.append("|unended: ").append(log, at);
    }
    const std::size_t tab = log.find('\t', at);
    if (!lines.empty()) {
      lines += '|';
    }
    lines.append(log, tab + 1, end - tab - 1);
    at = end + std::char_traits<char>::length(kLineEnd);
  }
  return lines;
}

TEST(RunLogTest, RunsSharingTheLogEachKeepTheirLine) {
  // Two logs open on one file at once, as two runs would be: a write at where one of them last
  // left the file would overwrite the other's line.
  TempFolder folder;
  const std::string path = folder / "runs.log";
  RunLog first(path, CodePage());
  RunLog second(path, CodePage());
  EXPECT_TRUE(first.Append("a.qof", "a.qnf", "converted", "1 item"));
  EXPECT_TRUE(second.Append("b\tc.qof", "b.qnf", "failed", "line 1\r\nline 2"));
  EXPECT_TRUE(first.Append("d.qof", "", "failed", "no file name given"));
  EXPECT_EQ(
      "a.qof\ta.qnf\tconverted\t1 item|b\\x09c.qof\tb.qnf\tfailed\tline 1\\x0D\\x0Aline 2|"
      "d.qof\t\tfailed\tno file name given",
      LinesWithoutTime(ReadBytes(path)));
}

TEST(RunLogTest, LogThatCannotBeOpenedOrWrittenSaysSo) {
  TempFolder folder;
  const std::string missing = folder / "no-folder/runs.log";
  try {
    RunLog log(missing, CodePage());
    ADD_FAILURE() << "a log in a missing folder was opened";
  } catch (const std::runtime_error& error) {
    const std::string what = error.what();
    const std::string start = "cannot open the log " + missing + " for appending: ";
    EXPECT_EQ(0U, what.find(start)) << what;
    EXPECT_GT(what.size(), start.size()) << what;  // the system's reason
  }
  // A device other than the null device is no log: refused at once, saying what it is.
  if (std::filesystem::exists("/dev/full")) {
    try {
      RunLog full("/dev/full", CodePage());
      ADD_FAILURE() << "a device was opened as the log";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string("cannot open the log /dev/full for appending: it is a character "
                            "device, not a regular file"),
                error.what());
    }
  }
#ifndef _WIN32
  // A pipe someone reads takes the log; once nobody does, a line cannot be written.
  const std::string pipe = folder / "runs.pipe";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_LE(0, reader);
  RunLog log(pipe, CodePage());
  ::close(reader);
  const auto broken = std::signal(SIGPIPE, SIG_IGN);
  EXPECT_FALSE(log.Append("a.qof", "a.qnf", "converted", "1 item"));
  std::signal(SIGPIPE, broken);
#endif
}

}  // namespace
}  // namespace shiftlet
