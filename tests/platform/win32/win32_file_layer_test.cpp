// The Windows file layer on the real Win32 API: binary bytes, drive-letter paths, attributes,
// exclusive creation and the replace, with the system's own errors.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/system_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"

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
  EXPECT_THROW(files_->CheckWritableInPlace(folder_ / "a-folder"), ConversionFailure);

  const std::string readOnly = folder_ / "read-only.qnf";
  WriteBytes(readOnly, "keep");
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_THROW(files_->CheckWritableInPlace(readOnly), ConversionFailure);

  // A file another program holds without sharing, as a running Velmora might.
  const std::string held = folder_ / "default.qcf";
  WriteBytes(held, "held");
  const HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, handle);
  EXPECT_THROW(files_->CheckWritableInPlace(held), ConversionFailure);
  CloseHandle(handle);
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

  const std::string fresh = folder_ / "migrated.menu.qnf";
  WriteBytes(source, "menu");
  files_->Replace(source, fresh);
  EXPECT_EQ("menu", ReadBytes(fresh));
  EXPECT_EQ("default.qcf migrated.menu.qnf", ListFolder(folder_.Path()));
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
}

}  // namespace
}  // namespace shiftlet
