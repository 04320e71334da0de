// Real faults, not injected ones: the built program meets folders that are missing or read-only, a
// read-only configuration, a disk that fills up, an old file that is a folder. Each run must end in
// the failure message with status 1, leave no temporary file, and leave every file either exactly
// as it was or complete.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "blackbox/program_run.h"
#include "driver/messages.h"
#include "support/temp_folder.h"
#include "textfile/field_reader.h"

namespace {

namespace fs = std::filesystem;
namespace msg = shiftlet::messages;
using shiftlet::testing::ListFolder;
using shiftlet::testing::ProgramRun;
using shiftlet::testing::ReadBytes;
using shiftlet::testing::RunProgram;
using shiftlet::testing::TempFolder;
using shiftlet::testing::WriteBytes;

// Answers: both questions Yes, Enter on every OK box, each picker's proposal taken.
constexpr std::string_view kAllDefaults = "\n\n\n\n\n\n\n";
// The same, with `destination` typed at the second picker.
// Yes to replacing a destination that differs, where that is asked; else the "y" closes the next
// box.
std::string TypedDestination(const std::string& destination) {
  return "\n\n\n\n\n" + destination + "\ny\n\n";
}

// An old menu of `count` plain items with texts of `length` characters, and its conversion.
struct Menus {
  std::string oldFile;
  std::string newFile;
};
Menus PlainMenus(int count, std::size_t length) {
  Menus menus{"1\r\n", "70\r\n"};
  std::string nodes;
  for (int i = 0; i < count; ++i) {
    const std::string text(length, static_cast<char>('A' + i % 26));
    const std::string n = std::to_string(i);
    menus.oldFile += "\"" + text + "\",0,0,\"v" + n + "\",0\r\n";
    menus.newFile += "e," + n + "," + text + ",0,v" + n + ",,,0\r\n";
    nodes += "n, " + n + " ,-1 , " + n + " \r\n";
  }
  menus.newFile += nodes + "x\r\n";
  return menus;
}
// Plain menus whose new file is about `newSize` bytes.
Menus PlainMenusOfSize(std::size_t newSize) {
  constexpr int kCount = 200;
  const std::size_t bare = PlainMenus(kCount, 0).newFile.size();
  return PlainMenus(kCount, newSize > bare ? (newSize - bare) / kCount : 0);
}

// Compares whole files without printing them: they run to hundreds of kilobytes.
void ExpectFileHolds(const fs::path& path, const std::string& expected) {
  const std::string bytes = ReadBytes(path);
  const auto differ = std::mismatch(bytes.begin(), bytes.end(), expected.begin(), expected.end());
  EXPECT_TRUE(bytes == expected) << path << " holds " << bytes.size() << " bytes, "
                                 << expected.size() << " expected; they differ from byte "
                                 << (differ.first - bytes.begin());
}

// Everything under a folder: each entry's kind, permissions, size and a hash of its bytes, so that
// a differing snapshot prints readably.
using Snapshot = std::map<std::string, std::string>;
Snapshot Take(const fs::path& folder) {
  Snapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const auto perms = static_cast<unsigned>(entry.symlink_status().permissions());
    std::string what = "perms " + std::to_string(perms);
    if (entry.is_directory()) {
      what += " folder";
    } else {
      const std::string bytes = ReadBytes(entry.path());
      what += " size " + std::to_string(bytes.size()) + " hash " +
              std::to_string(std::hash<std::string>{}(bytes));
    }
    snapshot[fs::relative(entry.path(), folder).string()] = what;
  }
  return snapshot;
}

// A small memory disk of its own, mounted for one test; empty string from Mount() on success,
// else why it could not be.
class SmallDisk {
 public:
  explicit SmallDisk(fs::path where) : where_(std::move(where)) { fs::create_directory(where_); }
  ~SmallDisk() {
    if (mounted_) {
      ::umount2(where_.c_str(), MNT_DETACH);
    }
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  std::string Mount(const std::string& size) {
    const std::string options = "size=" + size + ",mode=0755";
    if (::mount("shiftlet-test", where_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      return std::string("cannot mount a tmpfs here (") + std::strerror(errno) +
             "); run as root with mount permitted to test a real full or read-only disk";
    }
    mounted_ = true;
    return "";
  }
  void MakeReadOnly() {
    // A remount ignores the source and the type; naming them keeps checkers such as valgrind
    // from taking the null pointers for a fault.
    ASSERT_EQ(::mount("shiftlet-test", where_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
  }
  std::size_t FreeBytes() const {
    struct statvfs info {};
    if (::statvfs(where_.c_str(), &info) != 0) {
      return 0;
    }
    return static_cast<std::size_t>(info.f_bavail) * info.f_frsize;
  }
  const fs::path& Path() const { return where_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

class RealFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& entry : fs::directory_iterator(SHIFTLET_EXAMPLES_DIR)) {
      fs::copy_file(entry.path(), work_.Path() / entry.path().filename());
    }
  }

  ProgramRun Run(std::string_view input) const {
    return RunProgram(SHIFTLET_PROGRAM, work_.Path().string(), io_.Path().string(), input);
  }
  std::string Work(std::string_view name) const { return work_ / name; }

  // The failure message came last, after the boxes up to the destination picker (or only up to
  // the source picker), and nothing else went wrong on the way.
  static void ExpectFailure(const ProgramRun& run, bool afterDestination) {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::string failure = "\n[" + std::string(msg::kCaption) + "]\n" + msg::kFailure;
    EXPECT_NE(run.out.find(failure), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find(msg::kSuccess), std::string::npos);
    EXPECT_EQ(run.out.find(msg::kSelectDestination) != std::string::npos, afterDestination)
        << run.out;
  }

  TempFolder work_;
  TempFolder io_;
};

TEST_F(RealFaultsTest, DestinationThatCannotBeWrittenChangesNothing) {
  fs::create_directory(work_.Path() / "folder");
  WriteBytes(Work("migrated.menu.qnf"), "earlier conversion\r\n");
  fs::permissions(Work("migrated.menu.qnf"), fs::perms::owner_read | fs::perms::group_read);
  const Snapshot before = Take(work_.Path());

  const struct {
    const char* what;
    std::string typed;
  } cases[] = {
      {"a folder that does not exist", "missing/new.qnf"},
      {"a folder that is a file", "menu.qof/new.qnf"},
      {"a name that is a folder", "folder"},
      {"a read-only file, even to root", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ProgramRun run = Run(TypedDestination(c.typed));
    ExpectFailure(run, true);
    EXPECT_EQ(Take(work_.Path()), before);
  }
}

TEST_F(RealFaultsTest, OldFileThatIsAFolderChangesNothing) {
  fs::remove(Work("menu.qof"));
  fs::create_directory(work_.Path() / "menu.qof");
  WriteBytes(Work("menu.qof/inside"), "1\r\n\"A\",0,0,\"v\",0\r\n");
  const Snapshot before = Take(work_.Path());

  const ProgramRun run = Run(kAllDefaults);

  ExpectFailure(run, false);
  EXPECT_EQ(Take(work_.Path()), before);
}

TEST_F(RealFaultsTest, ReadOnlyConfigurationKeepsTheCompleteNewMenuFile) {
  const Menus menus = PlainMenus(301, 12);
  WriteBytes(Work("menu.qof"), menus.oldFile);
  fs::permissions(Work("default.qcf"), fs::perms::owner_read);
  Snapshot expected = Take(work_.Path());

  const ProgramRun run = Run(kAllDefaults);

  ExpectFailure(run, true);
  ExpectFileHolds(Work("migrated.menu.qnf"), menus.newFile);
  const Snapshot after = Take(work_.Path());
  expected["migrated.menu.qnf"] = after.count("migrated.menu.qnf") != 0
                                      ? after.at("migrated.menu.qnf")
                                      : "missing new menu file";
  EXPECT_EQ(after, expected);
}

TEST_F(RealFaultsTest, ReadOnlyDiskChangesNothing) {
  SmallDisk disk(work_.Path() / "disk");
  if (const std::string why = disk.Mount("1m"); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteBytes(disk.Path() / "migrated.menu.qnf", "earlier conversion\r\n");
  fs::copy_file(Work("default.qcf"), disk.Path() / "default.qcf");
  disk.MakeReadOnly();
  const Snapshot before = Take(work_.Path());

  // Replacing a file there and creating one there both fail.
  for (const char* typed : {"disk/migrated.menu.qnf", "disk/new.qnf"}) {
    SCOPED_TRACE(typed);
    const ProgramRun run = Run(TypedDestination(typed));
    ExpectFailure(run, true);
    EXPECT_EQ(Take(work_.Path()), before);
  }
}

TEST_F(RealFaultsTest, DiskFullWhileWritingTheMenuFileChangesNothing) {
  SmallDisk disk(work_.Path() / "disk");
  if (const std::string why = disk.Mount("256k"); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteBytes(disk.Path() / "migrated.menu.qnf", "earlier conversion\r\n");
  fs::copy_file(Work("default.qcf"), disk.Path() / "default.qcf");
  // The old file lies elsewhere; its new form is larger than the room left on the disk.
  const Menus menus = PlainMenusOfSize(disk.FreeBytes() + 64 * 1024);
  WriteBytes(Work("menu.qof"), menus.oldFile);
  const Snapshot before = Take(work_.Path());

  const ProgramRun run = Run(TypedDestination("disk/migrated.menu.qnf"));

  ExpectFailure(run, true);
  EXPECT_EQ(Take(work_.Path()), before);
  EXPECT_EQ(ReadBytes(disk.Path() / "migrated.menu.qnf"), "earlier conversion\r\n");
}

TEST_F(RealFaultsTest, DiskFullWhileRewritingTheConfigurationKeepsTheCompleteNewMenuFile) {
  SmallDisk disk(work_.Path() / "disk");
  if (const std::string why = disk.Mount("256k"); !why.empty()) {
    GTEST_SKIP() << why;
  }
  // A configuration too large to be written a second time once the new menu file is there.
  const std::string configuration = "\"old.qnf\"," + std::string(64 * 1024, 's') + ",\"en\"\r\n";
  WriteBytes(disk.Path() / "default.qcf", configuration);
  const Menus menus = PlainMenusOfSize(disk.FreeBytes() - 32 * 1024);
  WriteBytes(Work("menu.qof"), menus.oldFile);
  const Snapshot before = Take(work_.Path());

  const ProgramRun run = Run(TypedDestination("disk/new.qnf"));

  ExpectFailure(run, true);
  ExpectFileHolds(disk.Path() / "new.qnf", menus.newFile);
  ExpectFileHolds(disk.Path() / "default.qcf", configuration);
  Snapshot after = Take(work_.Path());
  EXPECT_EQ(after.erase("disk/new.qnf"), 1u);
  EXPECT_EQ(after, before);
}

// Only regular files are read or replaced. A device, a pipe or a file too large to read is refused
// at once, by what it is, before anything is opened for writing, and left as it was; a reading or
// blocking program would hang here, or grow past the memory allowed. Devices are made with mknod
// (root only; rows that need one are skipped without it).
TEST_F(RealFaultsTest, DevicesPipesAndHugeFilesAreRefusedAtOnceAndLeftAsTheyWere) {
  const dev_t null = ::makedev(1, 3);
  fs::create_directory(work_.Path() / "device");
  std::string noDevice;
  if (::mknod(Work("null.qnf").c_str(), S_IFCHR | 0666, null) != 0 ||
      ::mknod(Work("device/default.qcf").c_str(), S_IFCHR | 0666, null) != 0) {
    noDevice = std::string("cannot make a device here (") + std::strerror(errno) +
               "); run as root to test one";
  }
  ASSERT_EQ(::mkfifo(Work("pipe.qof").c_str(), 0644), 0) << std::strerror(errno);
  // Past the bound by a byte, and sparse: nothing of it is on the disk.
  WriteBytes(Work("huge.qof"), "");
  fs::resize_file(Work("huge.qof"), shiftlet::kLargestFileRead + 1);

  const auto isNull = [null](const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) && info.st_rdev == null;
  };
  const std::string notRegular = ", not a regular file";
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string error;  // the error line
    bool device;        // needs the devices made above
  } cases[] = {
      {"a device as the new menu file",
       {"--quiet", "--destination", "null.qnf"},
       "cannot write " + Work("null.qnf") + ": it is a character device" + notRegular,
       true},
      {"a device as default.qcf: the new menu file is kept",
       {"--quiet", "--source", "menu.qof", "--destination", "device/new.qnf"},
       "cannot open " + Work("device/default.qcf") + ": it is a character device" + notRegular,
       true},
      {"a pipe as the new menu file",
       {"--quiet", "--destination", "pipe.qof"},
       "cannot write " + Work("pipe.qof") + ": it is a pipe" + notRegular,
       false},
      {"a pipe with no writer as the old menu file",
       {"--quiet", "--source", "pipe.qof"},
       "cannot open " + Work("pipe.qof") + ": it is a pipe" + notRegular,
       false},
      {"a pipe nobody reads as the log: refused before anything is converted",
       {"--quiet", "--log", "pipe.qof"},
       "cannot open the log pipe.qof for appending: it is a pipe that nobody reads",
       false},
      {"a source that never ends",
       {"--check", "--source", "/dev/zero"},
       "cannot open /dev/zero: it is a character device" + notRegular,
       false},
      {"a sparse old menu file past the bound",
       {"--check", "--source", "huge.qof"},
       "cannot read " + Work("huge.qof") + ": it is larger than " +
           std::to_string(shiftlet::kLargestFileRead >> 20) +
           " MiB, the most Shiftlet reads from one file",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.device && !noDevice.empty()) {
      std::cout << "[ SKIPPED  ] row \"" << c.what << "\": " << noDevice << '\n';
      continue;
    }
    const ProgramRun run =
        RunProgram(SHIFTLET_PROGRAM, work_.Path().string(), io_.Path().string(), "", c.args, 60);

    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE((run.out + run.err).find("error: " + c.error + "\n"), std::string::npos)
        << run.out << run.err;
    // A read of the file would take it all: a byte more than the bound.
    EXPECT_LT(run.peakBytes, shiftlet::kLargestFileRead / 4);
    EXPECT_EQ(ListFolder(work_.Path()), "default.qcf device huge.qof menu.qof" +
                                            std::string(noDevice.empty() ? " null.qnf" : "") +
                                            " pipe.qof");
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(Work("pipe.qof"))));
    if (noDevice.empty()) {
      EXPECT_TRUE(isNull(Work("null.qnf")));
      EXPECT_TRUE(isNull(Work("device/default.qcf")));
    }
  }
  if (noDevice.empty()) {
    EXPECT_EQ(ListFolder(work_.Path() / "device"), "default.qcf new.qnf");
  }
}

// Output to a pipe whose reader has gone (a script's `| head -0`, a log reader that quit): the
// run still converts and logs what it did, rather than die on the write that says so.
TEST_F(RealFaultsTest, OutputToAPipeNobodyReadsStillConvertsAndLogs) {
  // `true` has ended long before the program writes its line.
  const std::string script =
      "{ sleep 0.3; '" SHIFTLET_PROGRAM "' --quiet --log runs.log; echo $? >status; } | true";
  // Not through RunProgram: the shell is no program of ours to run under a checker.
  ASSERT_EQ(std::system(("cd '" + work_.Path().string() + "' && " + script).c_str()), 0);
  EXPECT_EQ(ReadBytes(Work("status")), "0\n");
  EXPECT_NE(ReadBytes(Work("runs.log")).find("\tconverted\t"), std::string::npos);
  EXPECT_TRUE(fs::exists(Work("migrated.menu.qnf")));
}

}  // namespace
