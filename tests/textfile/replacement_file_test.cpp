#include "textfile/replacement_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/system_file_layer.h"
#include "support/faulty_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileLayer;
using testing::ListFolder;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(ReplacementFileTest, TemporaryNameIsBesideTheTargetAndVaries) {
  const std::string first = TemporaryNameFor("/some/folder/menu.qnf", 0);
  const std::string second = TemporaryNameFor("/some/folder/menu.qnf", 1);
  EXPECT_EQ(0U, first.rfind("/some/folder/menu.qnf.", 0)) << first;
  EXPECT_EQ(".tmp", first.substr(first.size() - 4));
  EXPECT_NE(first, second);
  // The layers refuse a target whose temporary name would be too long by this size.
  for (const unsigned attempt : {0U, 99U, 1000U}) {
    EXPECT_EQ(std::string("/some/folder/menu.qnf").size() + kTemporaryTagSize,
              TemporaryNameFor("/some/folder/menu.qnf", attempt).size());
  }
}

TEST(ReplacementFileTest, CommitPutsTheBytesInPlace) {
  TempFolder folder;
  auto files = MakeSystemFileLayer();
  const std::string target = folder / "menu.qnf";
  ReplacementFile file(*files, target);
  EXPECT_EQ(fs::path(target).parent_path(), fs::path(file.TemporaryPath()).parent_path());
  EXPECT_TRUE(fs::exists(file.TemporaryPath()));
  file.Write("70\r\n");
  file.Write(std::string(200'000, 'z'));
  file.Commit();
  EXPECT_EQ("70\r\n" + std::string(200'000, 'z'), ReadBytes(target));
  EXPECT_EQ("menu.qnf", ListFolder(folder.Path()));
}

// A write that changes nothing is no write: the file keeps its identity and times; a file that
// differs anywhere, in length too, is replaced whole, its matching start copied from itself.
TEST(ReplacementFileTest, OnlyBytesThatDifferAreWritten) {
  const std::string big(200'000, 'z');
  const struct {
    const char* what;
    std::string there;
    std::vector<std::string> pieces;
    bool written;
  } cases[] = {
      {"the same bytes, in pieces", "70\r\n" + big, {"70\r\n", big}, false},
      {"the same bytes, at once", "70\r\n" + big, {"70\r\n" + big}, false},
      {"an empty file, written empty", "", {}, false},
      {"one byte differs far in", "70\r\n" + big + "y", {"70\r\n", big, "x"}, true},
      {"the file is longer", "70\r\n" + big + "x", {"70\r\n", big}, true},
      {"the file is shorter", "70\r\n", {"70\r\n", big}, true},
      {"the first byte differs", "80\r\n", {"70\r\n"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    auto files = MakeSystemFileLayer();
    const std::string target = folder / "menu.qnf";
    WriteBytes(target, c.there);
    const auto before = fs::last_write_time(target) - std::chrono::hours(24);
    fs::last_write_time(target, before);
    std::string expected;
    std::string temporary;
    {
      ReplacementFile file(*files, target);
      for (const std::string& piece : c.pieces) {
        file.Write(piece);
        expected += piece;
      }
      EXPECT_EQ(c.written, file.Commit());
      temporary = file.TemporaryPath();
    }
    EXPECT_EQ(expected, ReadBytes(target));
    EXPECT_EQ("menu.qnf", ListFolder(folder.Path()));
    EXPECT_EQ(!c.written, fs::last_write_time(target) == before);
    EXPECT_EQ(c.written, !temporary.empty());  // nothing was created for a file left as it was
  }
}

TEST(ReplacementFileTest, ReplacedFileKeepsItsPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have attributes, not permissions: see win32_file_layer_test.cpp";
#endif
  TempFolder folder;
  auto files = MakeSystemFileLayer();
  const std::string target = folder / "default.qcf";
  WriteBytes(target, "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ReplacementFile file(*files, target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ("new", ReadBytes(target));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status(target).permissions() & fs::perms::all);
}

TEST(ReplacementFileTest, LinkIsReplacedItselfAndWhatItNamesIsLeftAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows links: see win32_file_layer_test.cpp";
#else
  TempFolder folder;
  auto files = MakeSystemFileLayer();
  // A link to a file the user never chose, read-only; and one to a pipe, which opening for
  // writing would block on or fail.
  const std::string pointee = folder / "elsewhere.ini";
  WriteBytes(pointee, "not the user's choice");
  fs::permissions(pointee, fs::perms::owner_read);
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  for (const std::string& named : {pointee, pipe}) {
    const std::string link = folder / "default.qcf";
    fs::remove(link);
    fs::create_symlink(named, link);
    ReplacementFile file(*files, link);
    file.Write("new");
    file.Commit();
    EXPECT_FALSE(fs::is_symlink(link)) << named;
    EXPECT_EQ("new", ReadBytes(link)) << named;
  }
  EXPECT_EQ("not the user's choice", ReadBytes(pointee));
  EXPECT_EQ(fs::perms::owner_read, fs::status(pointee).permissions() & fs::perms::all);
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ("default.qcf elsewhere.ini pipe", ListFolder(folder.Path()));
#endif
}

TEST(ReplacementFileTest, GroupIsKeptWhenTheOwnerCannotBe) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no Unix owner";
#else
  if (::geteuid() != 0) {
    GTEST_SKIP() << "run as root to act as another user who shares the target's group";
  }
  constexpr gid_t kSharedGroup = 4242;
  constexpr uid_t kOtherUser = 65534;
  const struct {
    bool inTargetsGroup;
    mode_t targetMode;
    gid_t groupAfter;
    mode_t modeAfter;
  } cases[] = {
      {true, 0660, kSharedGroup, 0660},
      // A user outside the group cannot keep it: the rights it had go with it, rather than to
      // the user's own group.
      {false, 0666, kOtherUser, 0606},
  };
  for (const auto& row : cases) {
    TempFolder folder;
    fs::permissions(folder.Path(), fs::perms::all);
    const std::string target = folder / "default.qcf";
    WriteBytes(target, "old");
    ASSERT_EQ(0, ::chown(target.c_str(), 0, kSharedGroup));
    ASSERT_EQ(0, ::chmod(target.c_str(), row.targetMode));
    // A user who may not give files to root writes the target.
    const pid_t child = ::fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
      // The child ends by exec rather than exit: under valgrind an exit would be checked for the
      // test program's leaks again, and fail the child for them.
      const auto end = [](const char* status) {
        ::execl("/bin/sh", "sh", "-c", status, static_cast<char*>(nullptr));
        ::_exit(4);
      };
      const gid_t groups[] = {row.inTargetsGroup ? kSharedGroup : kOtherUser};
      if (::setgroups(1, groups) != 0 || ::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) {
        end("exit 2");
      }
      try {
        auto files = MakeSystemFileLayer();
        ReplacementFile file(*files, target);
        file.Write("new");
        file.Commit();
      } catch (...) {
        end("exit 3");
      }
      end("exit 0");
    }
    int status = -1;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(0, WEXITSTATUS(status)) << row.inTargetsGroup;
    EXPECT_EQ("new", ReadBytes(target));
    struct stat info {};
    ASSERT_EQ(0, ::stat(target.c_str(), &info));
    EXPECT_EQ(kOtherUser, info.st_uid);
    EXPECT_EQ(row.groupAfter, info.st_gid);
    EXPECT_EQ(row.modeAfter, info.st_mode & 07777) << row.inTargetsGroup;
  }
#endif
}

TEST(ReplacementFileTest, TargetsThatCouldNotBeWrittenInPlaceFail) {
  TempFolder folder;
  auto files = MakeSystemFileLayer();
  EXPECT_THROW(ReplacementFile(*files, ""), ConversionFailure);
  EXPECT_THROW(ReplacementFile(*files, folder / "no-such-folder/menu.qnf"), ConversionFailure);
  fs::create_directory(folder / "a-folder");
  EXPECT_THROW(ReplacementFile(*files, folder / "a-folder"), ConversionFailure);
  const std::string readOnly = folder / "read-only.qnf";
  WriteBytes(readOnly, "keep me");
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
  {
    // Refused at the first byte that would change it: the bytes it holds already need no write.
    ReplacementFile file(*files, readOnly);
    file.Write("keep");
    EXPECT_THROW(file.Write(" it"), ConversionFailure);
  }
  EXPECT_EQ("keep me", ReadBytes(readOnly));
  // A name that fits, but not with the temporary file's tag: refused by its own name.
  const std::string longName = folder / (std::string(246, 'n') + ".qnf");
  try {
    ReplacementFile file(*files, longName);
    ADD_FAILURE() << "a temporary name longer than the system takes was made";
  } catch (const ConversionFailure& failure) {
    EXPECT_EQ(0U, std::string(failure.what()).find("cannot write " + longName + ": "))
        << failure.what();
  }
  EXPECT_EQ("a-folder read-only.qnf", ListFolder(folder.Path()));
#ifndef _WIN32
  // A folder the runner may not create files in; root may, whatever its permissions say.
  if (::geteuid() != 0) {
    fs::permissions(folder / "a-folder", fs::perms::owner_read | fs::perms::owner_exec);
    try {
      ReplacementFile file(*files, folder / "a-folder/menu.qnf");
      ADD_FAILURE() << "a file was created in a folder that does not allow it";
    } catch (const ConversionFailure& failure) {
      EXPECT_EQ("cannot create files in " + folder / "a-folder" + ": " + std::strerror(EACCES),
                failure.Reason());
      EXPECT_EQ(ConversionFailure::Cause::kAccessDenied, failure.WhatCaused());
    }
  }
#endif
}

TEST(ReplacementFileTest, EveryFailingCallLeavesTheTargetAsItWas) {
  // Walk every file call of a write of an existing and of a missing target; whichever call fails,
  // the target keeps its old bytes (or stays absent) and no temporary file is left behind.
  for (const bool targetExists : {true, false}) {
    std::size_t calls = 0;
    {
      TempFolder folder;
      FaultyFileLayer files;
      ReplacementFile file(files, folder / "menu.qnf");
      file.Write(std::string(150'000, 'n'));  // more than one block
      file.Commit();
      calls = files.CallCount();
    }
    ASSERT_GE(calls, 6U);  // check, create, two writes, flush, close, replace
    for (std::size_t failing = 1; failing <= calls; ++failing) {
      TempFolder folder;
      FaultyFileLayer files;
      const std::string target = folder / "menu.qnf";
      if (targetExists) {
        WriteBytes(target, "the user's file");
      }
      files.FailCall(failing);
      EXPECT_THROW(
          {
            ReplacementFile file(files, target);
            file.Write(std::string(150'000, 'n'));
            file.Commit();
          },
          ConversionFailure)
          << "call " << failing;
      EXPECT_EQ(targetExists ? "menu.qnf" : "", ListFolder(folder.Path())) << "call " << failing;
      if (targetExists) {
        EXPECT_EQ("the user's file", ReadBytes(target)) << "call " << failing;
      }
    }
  }
}

}  // namespace
}  // namespace shiftlet
