// The Windows file layer on the real Win32 API: binary bytes, drive-letter paths, attributes,
// exclusive creation and the replace, with the system's own errors.

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/dry_run/dry_run_platform.h"
#include "platform/system_file_layer.h"
#include "platform/win32/ansi_text.h"
#include "platform/win32/entry_handle.h"
#include "platform/win32/file_holders.h"
#include "platform/win32/reparse_data.h"
#include "platform/win32/system_error_text.h"
#include "platform/win32/win32_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"
#include "textfile/in_use_wait.h"
#include "textfile/replacement_file.h"

namespace shiftlet {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ListFolder;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Every byte a text-mode runtime would touch: CR LF, lone LF and CR, Ctrl-Z, NUL, high bytes.
const std::string kAwkwardBytes = "70\r\na\nb\rc\x1a\0d\xe9\xff\r\n"s;

DWORD AttributesOf(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

// The file's bytes, or "(none)" when there is no file.
std::string ContentOf(const std::string& path) {
  return AttributesOf(path) == INVALID_FILE_ATTRIBUTES ? "(none)" : ReadBytes(path);
}

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

FILETIME CreationTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
  return data.ftCreationTime;
}

// Sets a file's creation time; false when the file system cannot keep one (Wine on Linux).
bool SetCreationTime(const std::string& path, WORD year) {
  const SYSTEMTIME when{year, 3, 0, 14, 9, 26, 53, 0};
  FILETIME time{};
  EXPECT_TRUE(SystemTimeToFileTime(&when, &time));
  const HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, handle) << path;
  EXPECT_TRUE(SetFileTime(handle, &time, nullptr, nullptr));
  CloseHandle(handle);
  const FILETIME kept = CreationTimeOf(path);
  return CompareFileTime(&kept, &time) == 0;
}

// The file's DACL in SDDL form ("" when it cannot be read).
std::string DaclOf(const std::string& path) {
  char buffer[4096];
  DWORD needed = 0;
  if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, buffer, sizeof buffer, &needed)) {
    return "";
  }
  LPSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(
          buffer, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return "";
  }
  std::string dacl = text;
  LocalFree(text);
  return dacl;
}

std::string ReadThrough(FileLayer& files, const std::string& path) {
  auto file = files.OpenForReading(path);
  std::string bytes;
  char block[7];  // small, so reads end mid-line and mid-CRLF
  for (std::size_t got; (got = file->Read(block, sizeof block)) > 0;) {
    bytes.append(block, got);
  }
  file->Close();
  return bytes;
}

class Win32FileLayerTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
};

TEST_F(Win32FileLayerTest, BytesPassUnchangedBothWays) {
  const std::string path = folder_ / "menu.qnf";
  auto file = files_->CreateExclusive(path);
  ASSERT_NE(nullptr, file);
  file->Write(kAwkwardBytes.data(), kAwkwardBytes.size());
  file->Flush();
  file->Close();
  EXPECT_EQ(kAwkwardBytes, ReadBytes(path));

  WriteBytes(folder_ / "menu.qof", kAwkwardBytes);
  EXPECT_EQ(kAwkwardBytes.size(), files_->OpenForReading(folder_ / "menu.qof")->SizeHint());
  EXPECT_EQ(kAwkwardBytes, ReadThrough(*files_, folder_ / "menu.qof"));
}

TEST_F(Win32FileLayerTest, DriveLetterPathsWorkWithEitherSeparator) {
  const std::string path = folder_ / "menu.qof";
  ASSERT_TRUE(path.size() > 3 && path[1] == ':' && path[2] == '\\') << path;
  WriteBytes(path, "bytes");
  std::string forward = path;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  EXPECT_EQ("bytes", ReadThrough(*files_, forward));
  files_->CheckWritableInPlace(forward);
  files_->CheckWritableInPlace(folder_ / "new.qnf");
}

TEST_F(Win32FileLayerTest, ExclusiveCreationNeverTouchesWhatExists) {
  const std::string path = folder_ / "menu.qnf.1.tmp";
  WriteBytes(path, "someone else's");
  EXPECT_EQ(nullptr, files_->CreateExclusive(path));
  EXPECT_EQ("someone else's", ReadBytes(path));
  EXPECT_THROW(files_->CreateExclusive(folder_ / "no-folder\\x.tmp"), ConversionFailure);
}

TEST_F(Win32FileLayerTest, OnlyFilesThatCouldBeWrittenPassTheCheck) {
  files_->CheckWritableInPlace(folder_ / "missing.qnf");
  EXPECT_EQ("", ListFolder(folder_.Path()));  // the check creates nothing

  EXPECT_THROW(files_->CheckWritableInPlace(folder_ / "no-folder\\x.qnf"), ConversionFailure);
  fs::create_directory(folder_.Path() / "a-folder");
  try {
    files_->CheckWritableInPlace(folder_ / "a-folder");
    ADD_FAILURE() << "a folder passed";
  } catch (const ConversionFailure& failure) {
    EXPECT_EQ("cannot write " + folder_ / "a-folder" + ": it is a folder, not a regular file",
              failure.Reason());
  }

  const std::string readOnly = folder_ / "read-only.qnf";
  WriteBytes(readOnly, "keep");
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(files_->CheckWritableInPlace(readOnly), ConversionFailure);

  // A file another program holds without sharing, as a running Velmora might.
  // Sharing reading and writing but not removal stops a replace just the same.
  const std::string held = folder_ / "default.qcf";
  WriteBytes(held, "held");
  for (const DWORD sharing : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    const HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    EXPECT_THROW(files_->CheckWritableInPlace(held), ConversionFailure) << sharing;
    CloseHandle(handle);
  }
  files_->CheckWritableInPlace(held);
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);  // so the folder can go
}

TEST_F(Win32FileLayerTest, ReplaceKeepsTheTargetsAttributes) {
  const std::string target = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  WriteBytes(source, "new");
  files_->Replace(source, target);
  EXPECT_EQ("new", ReadBytes(target));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, AttributesOf(source));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
            AttributesOf(target) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

  // Only the content changed: a second replace keeps the attributes the first one kept.
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_SYSTEM));
  WriteBytes(source, "newer");
  files_->Replace(source, target);
  EXPECT_EQ("newer", ReadBytes(target));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM),
            AttributesOf(target) & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));

  const std::string fresh = folder_ / "migrated.menu.qnf";
  WriteBytes(source, "menu");
  files_->Replace(source, fresh);
  EXPECT_EQ("menu", ReadBytes(fresh));
  EXPECT_EQ("default.qcf migrated.menu.qnf", ListFolder(folder_.Path()));
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileLayerTest, ReplaceKeepsTheTargetsCreationTime) {
  const std::string target = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(target, "old");
  WriteBytes(source, "new");
  if (!SetCreationTime(target, 2004)) {
    GTEST_SKIP() << "this file system keeps no creation time (Wine on Linux derives it)";
  }
  ASSERT_TRUE(SetCreationTime(source, 2020));
  const FILETIME before = CreationTimeOf(target);
  files_->Replace(source, target);
  EXPECT_EQ("new", ReadBytes(target));
  const FILETIME after = CreationTimeOf(target);
  EXPECT_EQ(0, CompareFileTime(&before, &after));
}

TEST_F(Win32FileLayerTest, ReplaceKeepsTheTargetsAccessRights) {
  if (RunningOnWine()) {
    // Wine keeps no security descriptor: it shows one made from the Unix permissions, so a
    // DACL set here reads back changed even before any replace.
    GTEST_SKIP() << "Wine keeps no DACL";
  }
  const std::string target = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(target, "old");
  WriteBytes(source, "new");
  // Protected, so nothing inherited from the folder: full access for the administrators and the
  // system, read for everyone, and writing denied to anonymous users.
  const char* kDacl = "D:P(D;;FW;;;AN)(A;;FA;;;BA)(A;;FA;;;SY)(A;;FR;;;WD)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(kDacl, SDDL_REVISION_1,
                                                                   &descriptor, nullptr));
  ASSERT_TRUE(SetFileSecurityA(target.c_str(), DACL_SECURITY_INFORMATION, descriptor));
  LocalFree(descriptor);
  const std::string before = DaclOf(target);
  ASSERT_NE(std::string::npos, before.find("(D;;")) << before;
  ASSERT_NE(before, DaclOf(source));  // the temporary file has the folder's rights
  files_->Replace(source, target);
  EXPECT_EQ("new", ReadBytes(target));
  EXPECT_EQ(before, DaclOf(target));
}

TEST_F(Win32FileLayerTest, LinkIsReplacedItselfAndWhatItNamesIsLeftAlone) {
  const std::string pointee = folder_ / "elsewhere.ini";
  const std::string link = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(pointee, "not the user's choice");
  if (!CreateSymbolicLinkA(link.c_str(), pointee.c_str(),
                           SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
      (AttributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
      AttributesOf(link) == INVALID_FILE_ATTRIBUTES) {
    // Wine's CreateSymbolicLinkA reports success and makes nothing; Windows needs the right.
    GTEST_SKIP() << "this system made no symbolic link";
  }
  files_->CheckWritableInPlace(link);
  EXPECT_EQ("not the user's choice", ReadBytes(pointee));
  WriteBytes(source, "new");
  files_->Replace(source, link);
  EXPECT_EQ(0U, AttributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ("new", ReadBytes(link));
  EXPECT_EQ("not the user's choice", ReadBytes(pointee));
  EXPECT_EQ("default.qcf elsewhere.ini", ListFolder(folder_.Path()));
}

TEST_F(Win32FileLayerTest, FailedReplaceKeepsTheTargetUnderItsName) {
  // Another program holds the target without letting it be removed: the replace cannot happen
  // (this layer waits for nothing), and the target is still there with its old bytes, so the
  // temporary file may go.
  const std::string target = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(target, "old");
  WriteBytes(source, "new");
  const HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  try {
    files_->Replace(source, target);
    ADD_FAILURE() << "a held file was replaced";
  } catch (const ConversionFailure& failure) {
    const std::string what = failure.what();
    EXPECT_EQ(0U, what.find(target + " is in use by ")) << what;
    EXPECT_EQ(ConversionFailure::Cause::kInUse, failure.WhatCaused());
  }
  CloseHandle(holder);
  EXPECT_EQ("old", ReadBytes(target));
  files_->RemoveQuietly(source);
  EXPECT_EQ("default.qcf", ListFolder(folder_.Path()));  // and no backup left behind
}

TEST_F(Win32FileLayerTest, NamesMadeBesideATargetMustFitBelowMaxPath) {
  // A target of 243 characters: its temporary name (13 more) fits, the backup name a replace of
  // it makes (17 more) does not.
  const std::string folder = folder_.Path().string() + "\\";
  const std::string target = folder + std::string(243 - folder.size() - 4, 'n') + ".qnf";
  ASSERT_EQ(243U, target.size());
  files_->CheckWritableInPlace(target);
  WriteBytes(target, "old");
  try {
    files_->CheckWritableInPlace(target);
    ADD_FAILURE() << "a replace whose backup name is too long passed";
  } catch (const ConversionFailure& failure) {
    EXPECT_EQ("cannot write " + target +
                  ": its path is too long for the files made beside it (260 characters; at most "
                  "259 here)",
              failure.Reason());
  }
  EXPECT_EQ("old", ReadBytes(target));
}

TEST_F(Win32FileLayerTest, FolderThatRefusesNewFilesFailsBeforeAnythingIsCreated) {
  // Wine lets the folder open for adding a file whatever the rights, so the refusal Windows gives
  // an unelevated user in Program Files comes from the seam.
  std::string asked;
  FileLayerCalls calls;
  calls.openFolderToAddFile = [&asked](LPCSTR folder) {
    asked = folder;
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  WriteBytes(folder_ / "default.qcf", "old");
  for (const char* name : {"new.qnf", "default.qcf"}) {
    SCOPED_TRACE(name);
    try {
      // An existing file is asked about at the first byte that changes it.
      ReplacementFile file(*files, folder_ / name);
      file.Write("new");
      ADD_FAILURE() << "a file was made in a folder that refuses new files";
    } catch (const ConversionFailure& failure) {
      EXPECT_EQ(0U,
                failure.Reason().find("cannot create files in " + folder_.Path().string() + ": "))
          << failure.Reason();
      EXPECT_NE(std::string::npos, failure.Reason().find("(error 5)")) << failure.Reason();
      EXPECT_EQ(ConversionFailure::Cause::kAccessDenied, failure.WhatCaused());
    }
    EXPECT_EQ(folder_.Path().string(), asked);
    EXPECT_EQ("default.qcf", ListFolder(folder_.Path()));
    EXPECT_EQ("old", ReadBytes(folder_ / "default.qcf"));
  }
}

TEST_F(Win32FileLayerTest, NameThatOpensADeviceOrAPipeIsNeverWritten) {
  // A pipe's server end, to see that nothing reaches it.
  const std::string pipeName =
      "\\\\.\\pipe\\shiftlet-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1,
                                         0, 4096, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, server);
  const struct {
    std::string path;
    const char* kind;
  } cases[] = {{"NUL", "a character device"}, {pipeName, "a pipe"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      files_->CreateExclusive(c.path);
      ADD_FAILURE() << "opened for writing";
    } catch (const ConversionFailure& failure) {
      EXPECT_EQ("cannot create " + c.path + ": it is " + c.kind + ", not a regular file",
                failure.Reason());
    }
  }
  CloseHandle(server);
}

// What a fake ReplaceFileA does before it fails, as Windows documents for its error code.
enum class FakeReplace {
  kLeavesBoth,             // the original and the new file keep their names
  kMovesOriginalToBackup,  // the original is under the backup name, the target's name is free
  kMovesOriginalThenTargetTaken,  // ...and another process makes a file at the target's name
};

TEST(Win32FailedReplaceTest, OriginalEndsInPlaceOrBothFilesAreNamed) {
  struct Case {
    DWORD error;
    FakeReplace fake;
    bool restoreFails;  // moving the original back fails too
    const char* targetAfter;
    const char* backupAfter;  // kept, and named by the failure, unless "(none)"
    bool newKept;             // the temporary file stays, and the failure names it
    bool inUse;               // the target kept its name, held: the failure says so, not the code
  };
  using enum FakeReplace;
  const Case cases[] = {
      {ERROR_UNABLE_TO_REMOVE_REPLACED, kLeavesBoth, true, "old", "(none)", false, true},
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT, kLeavesBoth, true, "old", "(none)", false, true},
      // As documented for no backup name: the original moved away, the target's name free.
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT, kMovesOriginalToBackup, false, "old", "(none)", false,
       false},
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT, kMovesOriginalToBackup, true, "(none)", "old", true,
       false},
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, kMovesOriginalToBackup, false, "old", "(none)", false,
       false},
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, kMovesOriginalToBackup, true, "(none)", "old", true,
       false},
      // The backup is then the only copy of the original: it stays, named.
      {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, kMovesOriginalThenTargetTaken, false, "another's", "old",
       false, false},
      {ERROR_SHARING_VIOLATION, kLeavesBoth, true, "old", "(none)", false, true},
      {ERROR_INVALID_PARAMETER, kLeavesBoth, true, "old", "(none)", false, false},
  };
  for (const Case& row : cases) {
    const std::string label = std::to_string(row.error) + (row.restoreFails ? " then 5" : "");
    TempFolder folder;
    const std::string target = folder / "default.qcf";
    WriteBytes(target, "old");
    std::string backup;
    FileLayerCalls calls;
    calls.replaceFile = [&](LPCSTR replaced, LPCSTR, LPCSTR backupName, DWORD) {
      backup = backupName;
      if (row.fake != kLeavesBoth) {
        EXPECT_TRUE(MoveFileExA(replaced, backupName, MOVEFILE_REPLACE_EXISTING)) << label;
      }
      if (row.fake == kMovesOriginalThenTargetTaken) {
        WriteBytes(replaced, "another's");
      }
      SetLastError(row.error);
      return FALSE;
    };
    if (row.restoreFails) {
      calls.moveFile = [](LPCSTR, LPCSTR, DWORD) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
      };
    }
    calls.holdersOf = [](const std::string&) { return std::vector<FileHolder>{}; };
    auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
    std::string temporary;
    std::string what;
    try {
      ReplacementFile file(*files, target);
      file.Write("new");  // differs at once: the temporary file is made here
      temporary = file.TemporaryPath();
      file.Commit();
      ADD_FAILURE() << label << ": the replace succeeded";
    } catch (const ConversionFailure& failure) {
      what = failure.what();  // the file's cleanup has run
    }
    ASSERT_FALSE(backup.empty()) << label;
    if (row.inUse) {
      EXPECT_EQ(target + " is in use by another program", what) << label;
    } else {
      EXPECT_EQ(0U, what.find("cannot replace " + target + ": ")) << label << ": " << what;
      EXPECT_NE(std::string::npos, what.find("(error " + std::to_string(row.error) + ")"))
          << label << ": " << what;
    }
    const bool backupKept = std::string(row.backupAfter) != "(none)";
    EXPECT_EQ(row.targetAfter, ContentOf(target)) << label;
    EXPECT_EQ(row.backupAfter, ContentOf(backup)) << label;
    EXPECT_EQ(row.newKept ? "new" : "(none)", ContentOf(temporary)) << label;
    EXPECT_EQ(backupKept, what.find(backup) != std::string::npos) << label << ": " << what;
    EXPECT_EQ(row.newKept, what.find(temporary) != std::string::npos) << label << ": " << what;
    const std::size_t leftInFolder = (backupKept ? 1U : 0U) + (row.newKept ? 1U : 0U) +
                                     (std::string(row.targetAfter) != "(none)" ? 1U : 0U);
    EXPECT_EQ(leftInFolder, static_cast<std::size_t>(std::distance(
                                fs::directory_iterator(folder.Path()), fs::directory_iterator())))
        << label << ": " << ListFolder(folder.Path());
  }
}

TEST(Win32ReplaceTest, ABackupThatCannotBeRemovedIsKeptAndSaid) {
  TempFolder folder;
  const std::string target = folder / "default.qcf";
  WriteBytes(target, "old");
  std::string backup;
  FileLayerCalls calls;
  calls.replaceFile = [&backup](LPCSTR replaced, LPCSTR replacement, LPCSTR backupName,
                                DWORD flags) {
    backup = backupName;
    return ReplaceFileA(replaced, replacement, backupName, flags, nullptr, nullptr);
  };
  calls.deleteFile = [](HANDLE) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  ReplacementFile file(*files, target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ("new", ContentOf(target));
  EXPECT_EQ("old", ContentOf(backup));
  const std::vector<std::string> leftBehind = files->TakeFilesLeftBehind();
  ASSERT_EQ(1U, leftBehind.size());
  EXPECT_EQ("the old content of " + target + " is left in " + backup +
                ", which could not be removed: " + SystemErrorText(ERROR_ACCESS_DENIED),
            leftBehind[0]);
  EXPECT_TRUE(files->TakeFilesLeftBehind().empty());
}

TEST(Win32ReplaceTest, TargetSwappedDuringTheReplaceIsNeverRemoved) {
  // The run paused after its checks (another user's oplock on a file it opens), and the target
  // swapped meanwhile for a link, which leads ReplaceFileA to the file it names. Wine makes no
  // links: another file put at the target stands for that file, and ReplaceFileA moves it to the
  // backup name as it would the file a link names.
  TempFolder folder;
  const std::string target = folder / "default.qcf";
  const std::string named = folder / "secret.ini";
  WriteBytes(target, "old");
  WriteBytes(named, "not the run's");
  std::string backup;
  FileLayerCalls calls;
  calls.replaceFile = [&](LPCSTR replaced, LPCSTR replacement, LPCSTR backupName, DWORD flags) {
    backup = backupName;
    EXPECT_TRUE(MoveFileExA(replaced, (folder / "moved.qcf").c_str(), 0));
    EXPECT_TRUE(MoveFileExA(named.c_str(), replaced, 0));
    return ReplaceFileA(replaced, replacement, backupName, flags, nullptr, nullptr);
  };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  ReplacementFile file(*files, target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ("new", ContentOf(target));
  EXPECT_EQ("not the run's", ContentOf(backup));
  EXPECT_EQ("old", ContentOf(folder / "moved.qcf"));
  const std::vector<std::string> leftBehind = files->TakeFilesLeftBehind();
  ASSERT_EQ(1U, leftBehind.size());
  EXPECT_EQ("what was at " + target + " when it was replaced is left in " + backup +
                ": it is not the file checked there, which was changed meanwhile",
            leftBehind[0]);
}

// What a file is, as the handle on it says. Wine makes no reparse points, so the seam makes one
// file say it is one, as Windows would for a link there.
TEST(Win32LinkTest, WhatTheHandleSaysIsALinkIsNeverTakenForAFile) {
  const struct {
    const char* what;
    DWORD tag;
    bool renamed;  // replaced itself by a rename, never through ReplaceFileA
  } cases[] = {
      {"a symbolic link", IO_REPARSE_TAG_SYMLINK, true},
      {"a junction", IO_REPARSE_TAG_MOUNT_POINT, true},
      {"a deduplicated file", IO_REPARSE_TAG_DEDUP, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const std::string link = folder / "default.qcf";
    const std::string file = folder / "menu.qnf";
    WriteBytes(link, "old");
    WriteBytes(file, "menu");
    FileFacts linkFacts;
    {
      const UniqueHandle entry = OpenEntry(link, FILE_READ_ATTRIBUTES);
      ASSERT_TRUE(entry && ReadFileFacts(entry.Get(), linkFacts));
    }
    bool replacedByReplaceFile = false;
    FileLayerCalls calls;
    calls.readKind = [&](HANDLE entry, FILE_ATTRIBUTE_TAG_INFO& kind) {
      FileFacts facts;
      if (!ReadFileFacts(entry, facts)) {
        return FALSE;
      }
      const bool isLink = facts.identity == linkFacts.identity;
      kind = {facts.attributes | (isLink ? DWORD{FILE_ATTRIBUTE_REPARSE_POINT} : 0),
              isLink ? c.tag : 0};
      return TRUE;
    };
    calls.replaceFile = [&](LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags) {
      replacedByReplaceFile = true;
      return ReplaceFileA(replaced, replacement, backup, flags, nullptr, nullptr);
    };
    auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
    EXPECT_TRUE(files->IsLink(link));
    EXPECT_FALSE(files->IsLink(file));
    try {
      files->Remove(link);
      ADD_FAILURE() << "a link was removed";
    } catch (const ConversionFailure& failure) {
      EXPECT_EQ(
          "cannot remove " + link + ": it is a link or another reparse point, not a regular file",
          failure.Reason());
    }
    EXPECT_EQ("old", ContentOf(link));
    ReplacementFile replacement(*files, link);
    replacement.Write("new");
    replacement.Commit();
    EXPECT_EQ("new", ContentOf(link));
    EXPECT_EQ(!c.renamed, replacedByReplaceFile);
  }
  // Nothing else is a link: a folder, nothing, a device.
  const auto files = MakeSystemFileLayer();
  TempFolder folder;
  fs::create_directory(folder.Path() / "a-folder");
  for (const std::string& path : {folder / "a-folder", folder / "missing.qcf", "NUL"s}) {
    EXPECT_FALSE(files->IsLink(path)) << path;
  }
}

// The calls that meet a file another program holds, each made through the layer as a run makes it.
enum class HeldCall { kRead, kCheck, kReplace, kRemove };

// A folder with default.qcf ("old") and, for a replace, its new content beside it, and a layer
// whose call of `call` (for a removal, the removal through the handle it opened) fails with
// `error` for the first `failures` tries, then reaches the system; its sleeps are only noted, and
// its Restart Manager names `holders`.
struct HeldFileRig {
  HeldFileRig(HeldCall held, DWORD error, int failures, std::vector<FileHolder> holders = {})
      : call(held) {
    WriteBytes(target, "old");
    WriteBytes(source, "new");
    FileLayerCalls calls;
    const auto failing = [this, error, failures] {
      ++tries;
      if (tries > failures) {
        return false;
      }
      SetLastError(error);
      return true;
    };
    const FileLayerCalls real;
    if (held == HeldCall::kRead || held == HeldCall::kCheck) {
      calls.openExisting = [=](LPCSTR path, DWORD access, DWORD sharing, DWORD flags) {
        return failing() ? INVALID_HANDLE_VALUE : real.openExisting(path, access, sharing, flags);
      };
    } else if (held == HeldCall::kReplace) {
      calls.replaceFile = [=](LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags) {
        return failing() ? FALSE : real.replaceFile(replaced, replacement, backup, flags);
      };
    } else {
      calls.deleteFile = [=](HANDLE file) { return failing() ? FALSE : real.deleteFile(file); };
    }
    calls.rightsAllow = [this](LPCSTR, LPCSTR, DWORD) { return rights; };
    calls.holdersOf = [this, holders](const std::string&) {
      ++lookups;
      return holders;
    };
    calls.sleep = [this](std::chrono::milliseconds delay) { slept.push_back(delay); };
    files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
    files->WaitForFilesInUse(InUseWait::Unattended());
  }

  // Makes the call; "" when it succeeded, else its failure's reason.
  std::string Make() {
    try {
      switch (call) {
        case HeldCall::kRead:
          files->OpenForReading(target)->Close();
          break;
        case HeldCall::kCheck:
          files->CheckWritableInPlace(target);
          break;
        case HeldCall::kReplace:
          files->Replace(source, target);
          break;
        case HeldCall::kRemove:
          files->Remove(target);
          break;
      }
    } catch (const ConversionFailure& failure) {
      cause = failure.WhatCaused();
      return failure.Reason();
    }
    return "";
  }

  HeldCall call;
  TempFolder folder;
  const std::string target = folder / "default.qcf";
  const std::string source = folder / "default.qcf.1.tmp";
  std::unique_ptr<FileLayer> files;
  int tries = 0;
  int lookups = 0;
  bool rights = true;
  std::vector<std::chrono::milliseconds> slept;
  ConversionFailure::Cause cause = ConversionFailure::Cause::kOther;
};

TEST(Win32InUseTest, CallsThatMeetAFileInUseAreTriedAgainAndNoOthers) {
  using enum HeldCall;
  const struct {
    const char* name;
    HeldCall call;
    DWORD error;
    int failures;
    bool readOnly;  // the target
    bool rights;    // its access rights allow the call
    int tries;
  } rows[] = {
      {"read, sharing violation", kRead, ERROR_SHARING_VIOLATION, 2, false, true, 3},
      {"read, lock violation", kRead, ERROR_LOCK_VIOLATION, 1, false, true, 2},
      {"read, denied with the rights for it", kRead, ERROR_ACCESS_DENIED, 1, false, true, 2},
      {"read, denied for want of rights", kRead, ERROR_ACCESS_DENIED, 1, false, false, 1},
      {"read, denied on a read-only file", kRead, ERROR_ACCESS_DENIED, 1, true, true, 1},
      {"read, not found", kRead, ERROR_FILE_NOT_FOUND, 1, false, true, 1},
      {"check, sharing violation", kCheck, ERROR_SHARING_VIOLATION, 2, false, true, 3},
      {"replace, 1175", kReplace, ERROR_UNABLE_TO_REMOVE_REPLACED, 1, false, true, 2},
      {"replace, 1176", kReplace, ERROR_UNABLE_TO_MOVE_REPLACEMENT, 1, false, true, 2},
      {"replace, sharing violation", kReplace, ERROR_SHARING_VIOLATION, 3, false, true, 4},
      {"replace, 1177", kReplace, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, 1, false, true, 1},
      {"remove, lock violation", kRemove, ERROR_LOCK_VIOLATION, 1, false, true, 2},
      {"remove, denied on a read-only file", kRemove, ERROR_ACCESS_DENIED, 1, true, true, 1},
  };
  const std::vector<std::chrono::milliseconds> delays = InUseWait::Unattended().Delays();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HeldFileRig rig(row.call, row.error, row.failures);
    rig.rights = row.rights;
    if (row.readOnly) {
      ASSERT_TRUE(SetFileAttributesA(rig.target.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const std::string failure = rig.Make();
    SetFileAttributesA(rig.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(row.tries, rig.tries);
    EXPECT_EQ(std::vector(delays.begin(), delays.begin() + row.tries - 1), rig.slept);
    EXPECT_EQ(0, rig.lookups);  // nobody is named for a moment's hold
    const bool freed = row.tries > row.failures;
    EXPECT_EQ(freed, failure.empty()) << failure;
    if (!freed) {
      EXPECT_NE(ConversionFailure::Cause::kInUse, rig.cause);
      EXPECT_NE(std::string::npos, failure.find("(error " + std::to_string(row.error) + ")"))
          << failure;
    }
    const bool replaced = freed && row.call == kReplace;
    const bool removed = freed && row.call == kRemove;
    EXPECT_EQ(replaced ? "new" : removed ? "(none)" : "old", ContentOf(rig.target));
    EXPECT_EQ(replaced  ? "default.qcf"
              : removed ? "default.qcf.1.tmp"
                        : "default.qcf default.qcf.1.tmp",
              ListFolder(rig.folder.Path()));
  }
}

TEST(Win32InUseTest, AFileStillInUseAfterTheWaitIsNamedWithItsHolder) {
  using enum HeldCall;
  const std::vector<FileHolder> velmora = {{"Velmora", 1234}};
  const struct {
    const char* name;
    HeldCall call;
    DWORD error;
    std::vector<FileHolder> holders;
    const char* holder;
  } rows[] = {
      {"read", kRead, ERROR_SHARING_VIOLATION, velmora, "Velmora (process 1234)"},
      {"check", kCheck, ERROR_SHARING_VIOLATION, {}, "another program"},
      {"replace", kReplace, ERROR_UNABLE_TO_REMOVE_REPLACED, velmora, "Velmora (process 1234)"},
      {"remove", kRemove, ERROR_SHARING_VIOLATION, {}, "another program"},
      {"two holders",
       kRead,
       ERROR_LOCK_VIOLATION,
       {{"Velmora", 1234}, {"Backup", 88}},
       "Velmora (process 1234) and Backup (process 88)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HeldFileRig rig(row.call, row.error, 1000, row.holders);
    EXPECT_EQ(rig.target + " is in use by " + row.holder, rig.Make());
    EXPECT_EQ(ConversionFailure::Cause::kInUse, rig.cause);
    EXPECT_EQ(InUseWait::Unattended().Delays(), rig.slept);
    EXPECT_EQ(1, rig.lookups);
    // Nothing lost: the target as it was, the new content still there for the caller to remove,
    // no backup left.
    EXPECT_EQ("old", ContentOf(rig.target));
    EXPECT_EQ("default.qcf default.qcf.1.tmp", ListFolder(rig.folder.Path()));
  }
}

TEST(Win32InUseTest, TheChecksQuestionOpensAsTheReplaceWouldAndWritesNothing) {
  HeldFileRig rig(HeldCall::kRemove, ERROR_SUCCESS, 0, {{"Velmora", 1234}});
  const struct {
    const char* name;
    DWORD sharing;  // of the holder; 1 for nobody holding it
    const char* holder;
  } rows[] = {
      {"free", 1, ""},
      {"held without sharing", 0, "Velmora (process 1234)"},
      {"held, reading and writing shared", FILE_SHARE_READ | FILE_SHARE_WRITE,
       "Velmora (process 1234)"},
      {"held, removal shared too", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (row.sharing != 1) {
      holder = CreateFileA(rig.target.c_str(), GENERIC_READ | GENERIC_WRITE, row.sharing, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    }
    EXPECT_EQ(row.holder, rig.files->InUseBy(rig.target));
    if (holder != INVALID_HANDLE_VALUE) {
      CloseHandle(holder);
    }
  }
  EXPECT_EQ("", rig.files->InUseBy(rig.folder / "missing.qcf"));
  EXPECT_EQ("", rig.files->InUseBy(rig.folder.Path().string()));
  EXPECT_TRUE(rig.slept.empty());  // asked once, at once
  EXPECT_EQ("old", ContentOf(rig.target));
  EXPECT_EQ("default.qcf default.qcf.1.tmp", ListFolder(rig.folder.Path()));
}

TEST(Win32InUseTest, ARemovalTriedAgainAsksAnewWhichFileItRemoves) {
  // The removal through the handle meets a file in use; while the run waits, another file takes
  // the name. The next try opens that one, and leaves it.
  TempFolder folder;
  const std::string target = folder / "migrated.menu.qnf";
  const std::string moved = folder / "moved.qnf";
  WriteBytes(target, "the run's");
  int deletes = 0;
  std::vector<std::chrono::milliseconds> slept;
  FileLayerCalls calls;
  calls.deleteFile = [&deletes](HANDLE) {
    ++deletes;
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  };
  calls.sleep = [&](std::chrono::milliseconds delay) {
    slept.push_back(delay);
    EXPECT_TRUE(MoveFileExA(target.c_str(), moved.c_str(), 0));
    WriteBytes(target, "another's");
  };
  calls.holdersOf = [](const std::string&) { return std::vector<FileHolder>{}; };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  files->WaitForFilesInUse(InUseWait::Unattended());
  const std::string identity = files->FileIdOf(target);
  ASSERT_NE("", identity);
  try {
    files->RemoveIfStill(target, identity);
    ADD_FAILURE() << "removed";
  } catch (const ConversionFailure& failure) {
    EXPECT_EQ(ChangedSinceCheckedReason(target), failure.Reason());
  }
  EXPECT_EQ(1, deletes);
  EXPECT_EQ(1U, slept.size());
  EXPECT_EQ("another's", ContentOf(target));
  EXPECT_EQ("the run's", ContentOf(moved));
}

TEST(Win32InUseTest, TheReplacedOriginalHeldAMomentIsRemovedOnceFree) {
  TempFolder folder;
  const std::string target = folder / "default.qcf";
  WriteBytes(target, "old");
  std::string backup;
  int deletes = 0;
  std::vector<std::chrono::milliseconds> slept;
  const FileLayerCalls real;
  FileLayerCalls calls;
  calls.replaceFile = [&](LPCSTR replaced, LPCSTR replacement, LPCSTR backupName, DWORD flags) {
    backup = backupName;
    return real.replaceFile(replaced, replacement, backupName, flags);
  };
  calls.deleteFile = [&](HANDLE file) {
    if (++deletes <= 2) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
    return real.deleteFile(file);
  };
  calls.sleep = [&slept](std::chrono::milliseconds delay) { slept.push_back(delay); };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  files->WaitForFilesInUse(InUseWait::Unattended());
  ReplacementFile file(*files, target);
  file.Write("new");
  file.Commit();
  EXPECT_EQ("new", ContentOf(target));
  EXPECT_EQ("(none)", ContentOf(backup));
  EXPECT_EQ(3, deletes);
  const std::vector<std::chrono::milliseconds> delays = InUseWait::Unattended().Delays();
  EXPECT_EQ(std::vector(delays.begin(), delays.begin() + 2), slept);
  EXPECT_TRUE(files->TakeFilesLeftBehind().empty());
  EXPECT_EQ("default.qcf", ListFolder(folder.Path()));
}

TEST(Win32InUseTest, AReplaceThatMovedTheOriginalIsNeverTriedAgain) {
  // A replace that says it moved nothing but moved the original to the backup name, while
  // another file took the target's: tried again, it would put that file over the original.
  TempFolder folder;
  const std::string target = folder / "default.qcf";
  WriteBytes(target, "old");
  std::string backup;
  int tries = 0;
  std::vector<std::chrono::milliseconds> slept;
  FileLayerCalls calls;
  calls.replaceFile = [&](LPCSTR replaced, LPCSTR, LPCSTR backupName, DWORD) {
    ++tries;
    backup = backupName;
    EXPECT_TRUE(MoveFileExA(replaced, backupName, MOVEFILE_REPLACE_EXISTING));
    WriteBytes(replaced, "another's");
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return FALSE;
  };
  calls.sleep = [&slept](std::chrono::milliseconds delay) { slept.push_back(delay); };
  calls.holdersOf = [](const std::string&) { return std::vector<FileHolder>{}; };
  auto files = MakeWin32FileLayer(std::move(calls), SystemCodePage());
  files->WaitForFilesInUse(InUseWait::Unattended());
  std::string what;
  try {
    ReplacementFile file(*files, target);
    file.Write("new");
    file.Commit();
    ADD_FAILURE() << "the replace succeeded";
  } catch (const ConversionFailure& failure) {
    what = failure.what();
  }
  EXPECT_EQ(1, tries);
  EXPECT_TRUE(slept.empty());
  EXPECT_EQ("another's", ContentOf(target));
  EXPECT_EQ("old", ContentOf(backup));
  EXPECT_NE(std::string::npos, what.find("its original is in " + backup)) << what;
}

TEST_F(Win32FileLayerTest, ADryRunGoesOnPastAFileHeldNowAndNoOtherRefusal) {
  // The run would wait for a file in use; the check says so from InUseBy instead of failing.
  const std::string held = folder_ / "default.qcf";
  WriteBytes(held, "held");
  const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  DryRunFileLayer dryRun(*files_);
  try {
    files_->CheckWritableInPlace(held);
    ADD_FAILURE() << "a held file passed";
  } catch (const ConversionFailure& failure) {
    EXPECT_EQ(ConversionFailure::Cause::kInUse, failure.WhatCaused()) << failure.what();
  }
  dryRun.CheckWritableInPlace(held);
  EXPECT_NE("", dryRun.InUseBy(held));
  EXPECT_EQ(files_->InUseBy(held), dryRun.InUseBy(held));
  CloseHandle(holder);
  EXPECT_EQ("", dryRun.InUseBy(held));
  ASSERT_TRUE(SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(dryRun.CheckWritableInPlace(held), ConversionFailure);
  SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32FileHoldersTest, TheRestartManagerNamesThisProcessAsTheHolder) {
  if (RunningOnWine()) {
    GTEST_SKIP() << "Wine's Restart Manager is a stub that names nobody";
  }
  TempFolder folder;
  const std::string held = folder / "default.qcf";
  WriteBytes(held, "held");
  const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  const std::vector<FileHolder> holders = HoldersByRestartManager(held);
  CloseHandle(holder);
  ASSERT_EQ(1U, holders.size());
  EXPECT_EQ(GetCurrentProcessId(), holders[0].processId);
  EXPECT_FALSE(holders[0].name.empty());
  EXPECT_TRUE(HoldersByRestartManager(held).empty());
}

TEST_F(Win32FileLayerTest, ReadOnlyTargetIsNotReplacedAndTheNewFileCanStillGo) {
  const std::string target = folder_ / "default.qcf";
  const std::string source = folder_ / "default.qcf.1.tmp";
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  WriteBytes(source, "new");
  EXPECT_THROW(files_->Replace(source, target), ConversionFailure);
  EXPECT_EQ("old", ReadBytes(target));
  files_->RemoveQuietly(source);
  EXPECT_EQ("default.qcf", ListFolder(folder_.Path()));
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileLayerTest, FailuresNameThePathAndTheSystemsReason) {
  const std::string missing = folder_ / "missing.qof";
  try {
    files_->OpenForReading(missing);
    ADD_FAILURE() << "a missing file was opened";
  } catch (const ConversionFailure& failure) {
    const std::string what = failure.what();
    EXPECT_NE(std::string::npos, what.find("cannot open " + missing + ": ")) << what;
    EXPECT_NE(std::string::npos, what.find("(error 2)")) << what;
  }
  fs::create_directory(folder_.Path() / "a-folder");
  EXPECT_THROW(files_->OpenForReading(folder_ / "a-folder"), ConversionFailure);
}

TEST_F(Win32FileLayerTest, NamesAreBytesInTheSystemsCodePage) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "the check below is written for code page 1252, this system has " << GetACP();
  }
  // "café.qnf" in code page 1252 must be the same file as the wide name with U+00E9.
  // Joined as text: std::filesystem would read the narrow name as another encoding.
  const std::string path = folder_.Path().string() + "\\caf\xe9.qnf";
  auto file = files_->CreateExclusive(path);
  ASSERT_NE(nullptr, file);
  file->Close();
  const std::wstring wide = folder_.Path().wstring() + L"\\caf\u00e9.qnf";
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide.c_str()));

  // ¹ is B9 here, and Windows keeps COM¹ for a device as it keeps COM1: refused by its name.
  try {
    files_->CheckWritableInPlace(folder_.Path().string() + "\\com\xb9.qnf");
    ADD_FAILURE() << "COM\xb9 passed";
  } catch (const ConversionFailure& failure) {
    EXPECT_NE(std::string::npos,
              std::string(failure.what()).find(": it is a device name reserved by Windows"));
  }
}

TEST_F(Win32FileLayerTest, EveryNameOfOneFileHasOneKey) {
  // As the file system compares names: without case, a folder's "..", and a short name for the
  // long one it stands for. A missing file is keyed by its name as given, without case too.
  WriteBytes(folder_ / "default.qcf", "menu.qnf\r\n");
  const std::string longName = folder_ / "a long file name.qcf";
  WriteBytes(longName, "x");
  fs::create_directory(folder_.Path() / "sub");
  const std::string key = files_->EntryKey(folder_ / "default.qcf");
  EXPECT_EQ(key, files_->EntryKey(folder_ / "DEFAULT.QCF"));
  EXPECT_EQ(key, files_->EntryKey(folder_ / "sub\\..\\Default.Qcf"));
  EXPECT_NE(key, files_->EntryKey(folder_ / "default.qcf.old"));
  EXPECT_NE(key, files_->EntryKey(folder_ / "sub\\default.qcf"));
  EXPECT_EQ(files_->EntryKey(folder_ / "new.qnf"), files_->EntryKey(folder_ / "NEW.qnf"));
  EXPECT_NE(files_->EntryKey(folder_ / "new.qnf"), files_->EntryKey(folder_ / "new.qnf2"));
  // The name default.qcf is given for a file typed in another case is the one the folder lists.
  EXPECT_EQ("default.qcf", files_->ListedName(folder_ / "DEFAULT.QCF"));
  EXPECT_EQ("", files_->ListedName(folder_ / "NEW.qnf"));
  char shortName[MAX_PATH] = {};
  const DWORD length = GetShortPathNameA(longName.c_str(), shortName, MAX_PATH);
  ASSERT_GT(length, 0U);
  ASSERT_NE(longName, std::string(shortName, length)) << "no short name to compare";
  EXPECT_EQ(files_->EntryKey(longName), files_->EntryKey(shortName)) << shortName;
  if (GetACP() == 1252) {
    EXPECT_EQ(files_->EntryKey(folder_.Path().string() + "\\caf\xe9.qnf"),
              files_->EntryKey(folder_.Path().string() + "\\CAF\xc9.QNF"));
  }
}

TEST_F(Win32FileLayerTest, ANameWithAWildcardNamesNoOtherFile) {
  // FindFirstFileA reads < > " as DOS's ?, * and .: under Wine "migrated.menu.qn>" lists
  // migrated.menu.qnf.
  WriteBytes(folder_ / "migrated.menu.qnf", "70\r\n");
  const std::string key = files_->EntryKey(folder_ / "migrated.menu.qnf");
  for (const char* name : {"migrated.menu.qn*", "migrated.menu.qn?", "migrated.menu.qn<",
                           "migrated.menu.qn>", "migrated\"menu.qnf"}) {
    EXPECT_NE(key, files_->EntryKey(folder_ / name)) << name;
  }
}

// Reparse data as FSCTL_GET_REPARSE_POINT gives it for a symbolic link: its head, then the
// substitute name, then the print name.
std::string SymbolicLinkData(std::wstring_view substitute, std::wstring_view print,
                             bool relative = false, DWORD tag = IO_REPARSE_TAG_SYMLINK) {
  const auto bytes = [](std::wstring_view name) {
    return std::string(reinterpret_cast<const char*>(name.data()), name.size() * sizeof(wchar_t));
  };
  const std::string names = bytes(substitute) + bytes(print);
  std::string data(20, '\0');
  const auto put = [&data](std::size_t at, std::uint32_t value, std::size_t size) {
    std::memcpy(data.data() + at, &value, size);
  };
  put(0, tag, 4);
  put(4, static_cast<std::uint32_t>(12 + names.size()), 2);
  put(8, 0, 2);
  put(10, static_cast<std::uint32_t>(substitute.size() * sizeof(wchar_t)), 2);
  put(12, static_cast<std::uint32_t>(substitute.size() * sizeof(wchar_t)), 2);
  put(14, static_cast<std::uint32_t>(print.size() * sizeof(wchar_t)), 2);
  put(16, relative ? 1 : 0, 4);
  return data + names;
}

TEST(SymbolicLinkTargetTest, TheLinkLeadsWhereTheSystemFollowsIt) {
  const struct {
    const char* what;
    std::string data;
    std::wstring path;  // empty: not followed
    bool relative;
  } cases[] = {
      {"a print name that says otherwise",
       SymbolicLinkData(L"\\??\\C:\\Windows\\win.ini", L"C:\\Velmora\\menu.ini"),
       L"C:\\Windows\\win.ini", false},
      {"a share", SymbolicLinkData(L"\\??\\UNC\\host\\share\\x.qcf", L"\\\\host\\share\\x.qcf"),
       L"\\\\host\\share\\x.qcf", false},
      {"a volume by its GUID",
       SymbolicLinkData(L"\\??\\Volume{0b1e6a34-2f3c-11ee-9d7a-806e6f6e6963}\\x.qcf", L"C:\\x.qcf"),
       L"", false},
      {"a device", SymbolicLinkData(L"\\Device\\HarddiskVolume2\\x.qcf", L"C:\\x.qcf"), L"", false},
      {"a pipe", SymbolicLinkData(L"\\??\\pipe\\p", L"C:\\x.qcf"), L"", false},
      {"relative", SymbolicLinkData(L"..\\other\\x.qcf", L"", true), L"..\\other\\x.qcf", true},
      {"rooted at the link's drive", SymbolicLinkData(L"\\x.qcf", L"\\x.qcf", true), L"", false},
      {"a print name alone", SymbolicLinkData(L"", L"C:\\x.qcf"), L"", false},
      {"a junction's data",
       SymbolicLinkData(L"\\??\\C:\\x", L"C:\\x", false, IO_REPARSE_TAG_MOUNT_POINT), L"", false},
      {"data cut short", SymbolicLinkData(L"\\??\\C:\\x.qcf", L"").substr(0, 28), L"", false},
  };
  for (const auto& c : cases) {
    const LinkTarget target = SymbolicLinkTargetOf(c.data);
    EXPECT_EQ(c.path, target.path) << c.what;
    EXPECT_EQ(c.relative, target.relative) << c.what;
  }
}

TEST(AnsiTextTest, OnlyTextThatReadsBackPasses) {
  const struct {
    UINT codePage;
    std::wstring text;
    std::string bytes;  // empty: no exact form
  } cases[] = {
      // A UTF-8 system code page, where Windows refuses WC_NO_BEST_FIT_CHARS.
      {CP_UTF8, L"\u65e5\u672c.qcf", "\xe6\x97\xa5\xe6\x9c\xac.qcf"},
      {CP_UTF8, L"\xd800.qcf", ""},  // half a surrogate pair
      {1252, L"caf\u00e9.qcf", "caf\xe9.qcf"},
      {1252, L"\u0101.qcf", ""},  // best fit: a plain "a"
      {1252, L"\u65e5.qcf", ""},  // the default character
      {932, L"\u8868.qof", "\x95\x5c.qof"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.bytes, AnsiText(c.text, c.codePage)) << c.codePage << " " << c.bytes;
  }
}

}  // namespace
}  // namespace shiftlet
