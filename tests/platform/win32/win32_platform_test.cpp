// The Windows front-end's own parts on the real Win32 API: the file-system object, the hidden
// owner window, and the open-file dialog itself, answered from a second thread as a user would.

#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "driver/shiftlet_core.h"
#include "platform/front_end.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

constexpr int kNameBox = 0x47c;  // cmb13: the file name box of the Explorer-style dialog
constexpr int kTypeBox = 0x470;  // cmb1: the file type box

TEST(Win32FileSystemObjectTest, ParentFolderComesFromTheTextWithEitherSeparator) {
  Win32FileSystemObject paths;
  EXPECT_EQ("C:\\Program Files\\Velmora",
            paths.GetParentFolderName("C:\\Program Files\\Velmora\\migrated.menu.qnf"));
  EXPECT_EQ("C:\\", paths.GetParentFolderName("C:\\x.qnf"));
  EXPECT_EQ("C:/", paths.GetParentFolderName("C:/x.qnf"));
  EXPECT_EQ("C:/Velmora", paths.GetParentFolderName("C:/Velmora/x.qnf"));
  EXPECT_EQ("C:\\a/b", paths.GetParentFolderName("C:\\a/b\\x.qnf"));
  EXPECT_EQ("C:", paths.GetParentFolderName("C:x.qnf"));
  EXPECT_EQ("\\\\server\\share", paths.GetParentFolderName("\\\\server\\share\\x.qnf"));
  EXPECT_EQ("", paths.GetParentFolderName("x.qnf"));
  // Nothing is looked up: a folder that does not exist is still the parent.
  EXPECT_EQ("Q:\\no\\such", paths.GetParentFolderName("Q:\\no\\such\\x.qnf"));
}

// Names whose second byte is 0x5C, the byte of '\\', in code page 932: 表 and ソ.
const std::string kHyo = "\x95\x5c";
const std::string kSo = "\x83\x5c";

// The double-byte tests run in a run of their own under code page 932 (win32_tests_cp932, with
// LC_ALL=ja_JP.UTF-8), which says so in SHIFTLET_CODE_PAGE; there the code page must really be in
// force, so that they cannot pass on bytes alone.
bool DoubleByteRun() {
  const char* wanted = std::getenv("SHIFTLET_CODE_PAGE");
  return wanted != nullptr && std::string(wanted) == "932";
}
#define REQUIRE_CODE_PAGE_932()                                      \
  if (!DoubleByteRun()) {                                            \
    GTEST_SKIP() << "run by win32_tests_cp932, under code page 932"; \
  }                                                                  \
  ASSERT_EQ(932U, GetACP()) << "Wine takes the code page from LC_ALL=ja_JP.UTF-8"

TEST(Win32FileSystemObjectTest, DoubleByteNamesAreReadByCharacter) {
  REQUIRE_CODE_PAGE_932();
  const CodePage codePage = SystemCodePage();
  EXPECT_TRUE(codePage.IsLeadByte('\x95'));
  EXPECT_TRUE(codePage.IsLeadByte('\xfc'));
  EXPECT_FALSE(codePage.IsLeadByte('\xa0'));  // half-width katakana: one byte
  EXPECT_FALSE(codePage.IsLeadByte('\\'));

  Win32FileSystemObject paths;
  EXPECT_EQ("C:\\Program Files\\Velmora",
            paths.GetParentFolderName("C:\\Program Files\\Velmora\\migrated." + kHyo + ".qnf"));
  EXPECT_EQ("C:\\" + kSo, paths.GetParentFolderName("C:\\" + kSo + "\\" + kHyo + ".qnf"));
  EXPECT_EQ("C:\\", paths.GetParentFolderName("C:\\" + kHyo + kSo));
  EXPECT_EQ("C:/" + kHyo, paths.GetParentFolderName("C:/" + kHyo + "/x.qnf"));
}

TEST(Win32FileSystemObjectTest, FileExistsOnlyForFiles) {
  TempFolder folder;
  Win32FileSystemObject files;
  WriteBytes(folder / "default.qcf", "x");
  fs::create_directory(folder.Path() / "a-folder");
  EXPECT_TRUE(files.FileExists(folder / "default.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "a-folder"));
  EXPECT_FALSE(files.FileExists(folder / "missing.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "missing\\default.qcf"));
  EXPECT_THROW(files.FileExists(folder / "nul.qcf"), ConversionFailure);  // refused, with why
}

TEST(Win32PlatformTest, HiddenOwnerWindowIsMadeOnFirstUseAndNeverShown) {
  ASSERT_EQ(nullptr, FindWindowA(nullptr, "frmCD"));
  {
    Win32Platform platform;
    EXPECT_EQ('\\', platform.PathSeparator());
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "frmCD"));  // not before the picker is wanted
    FilePicker& picker = platform.Picker();
    EXPECT_EQ(&picker, &platform.Picker());
    const HWND owner = FindWindowA(nullptr, "frmCD");
    ASSERT_NE(nullptr, owner);
    EXPECT_EQ(owner, dynamic_cast<Win32FilePicker&>(picker).Owner());
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(owner, nullptr));
  }
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "frmCD"));
}

// What the user's side saw of one box or dialog.
struct DialogSeen {
  bool found = false;
  std::string text;  // a box's text
  std::string buttons;
  bool icon = false;
  std::string nameBox;
  std::string typeBox;
  HWND owner = nullptr;
};

std::string TextOf(HWND dialog, int id) {
  char text[1024] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

BOOL CALLBACK NoteChild(HWND child, LPARAM seenAddress) {
  auto& seen = *reinterpret_cast<DialogSeen*>(seenAddress);
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
  if (std::string(className) == "Button" && IsWindowVisible(child)) {
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    seen.buttons += seen.buttons.empty() ? "" : " ";
    seen.buttons += (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? std::string("*") + text : text;
  }
  if (std::string(className) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
      IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0) {
    seen.icon = true;
  }
  return TRUE;
}

// Runs `show` while a second thread waits (bounded) for the dialog titled `title`, notes what it
// shows (a default button is marked with *), then plays `answer` on it.
DialogSeen ShowAndAnswer(const char* title, const std::function<void()>& show,
                         const std::function<void(HWND)>& answer) {
  DialogSeen seen;
  std::thread user([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    HWND dialog = nullptr;
    while (!dialog && std::chrono::steady_clock::now() < deadline) {
      dialog = FindWindowA("#32770", title);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!dialog) {
      return;  // it never came; `show` would hang, so the test times out and says so
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it fill its boxes
    seen.found = true;
    seen.text = TextOf(dialog, 0xffff);
    EnumChildWindows(dialog, NoteChild, reinterpret_cast<LPARAM>(&seen));
    seen.nameBox = TextOf(dialog, kNameBox);
    seen.typeBox = TextOf(dialog, kTypeBox);
    seen.owner = GetWindow(dialog, GW_OWNER);
    answer(dialog);
  });
  try {
    show();
  } catch (...) {
    user.join();
    throw;
  }
  user.join();
  return seen;
}

DialogSeen ShowAndAnswer(FilePicker& picker, const std::function<void(HWND)>& answer) {
  return ShowAndAnswer(
      picker.DialogTitle.c_str(), [&] { picker.ShowOpen(); }, answer);
}

std::function<void(HWND)> Press(WPARAM button) {
  return [button](HWND dialog) { PostMessageA(dialog, WM_COMMAND, button, 0); };
}

TEST(Win32MessageBoxesTest, QuestionsAreCaptionedWithoutIconAndYesIsTheDefault) {
  Win32MessageBoxes boxes;
  bool yes = false;
  const DialogSeen seen = ShowAndAnswer(
      "Shiftlet", [&] { yes = boxes.AskYesNo("Continue?"); }, Press(IDYES));
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("Continue?", seen.text);
  EXPECT_EQ("*&Yes &No", seen.buttons);
  EXPECT_FALSE(seen.icon);
  EXPECT_TRUE(yes);

  ShowAndAnswer(
      "Shiftlet", [&] { yes = boxes.AskYesNo("Continue?"); }, Press(IDNO));
  EXPECT_FALSE(yes);
}

TEST(Win32MessageBoxesTest, AFileInUseAsksRetryFirstWithAWarningIcon) {
  Win32MessageBoxes boxes;
  bool retry = false;
  const DialogSeen seen = ShowAndAnswer(
      "Shiftlet", [&] { retry = boxes.AskRetryCancel("In use."); }, Press(IDRETRY));
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("In use.", seen.text);
  EXPECT_EQ("*&Retry Cancel", seen.buttons);
  EXPECT_TRUE(seen.icon);
  EXPECT_TRUE(retry);

  ShowAndAnswer(
      "Shiftlet", [&] { retry = boxes.AskRetryCancel("In use."); }, Press(IDCANCEL));
  EXPECT_FALSE(retry);
}

TEST(Win32MessageBoxesTest, MessagesHaveOnlyOk) {
  Win32MessageBoxes boxes;
  const DialogSeen seen = ShowAndAnswer(
      "Shiftlet", [&] { boxes.ShowOk("Done."); }, Press(IDOK));
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("Done.", seen.text);
  EXPECT_EQ("*OK", seen.buttons);
  EXPECT_FALSE(seen.icon);
}

TEST(Win32MessageBoxesTest, StartupErrorIsAnErrorBoxThatNamesTheError) {
  const DialogSeen seen = ShowAndAnswer(
      "Shiftlet", [] { ReportStartupError("cannot create the window frmCD: error 8"); },
      Press(IDOK));
  ASSERT_TRUE(seen.found);
  EXPECT_NE(std::string::npos, seen.text.find("cannot create the window frmCD: error 8"))
      << seen.text;
  EXPECT_EQ("*OK", seen.buttons);
  EXPECT_TRUE(seen.icon);
}

void Choose(HWND dialog, const std::string& name) {
  SetDlgItemTextA(dialog, kNameBox, name.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class Win32FilePickerTest : public ::testing::Test {
 protected:
  Win32FilePickerTest() {
    WriteBytes(folder_ / "menu.qof", "1\r\n");
    picker_.Filter = "QOF file|*.qof";
    picker_.InitDir = folder_.Path().string();
    picker_.filename = "menu.qof";
    picker_.DialogTitle = "Select your source QOF file";
  }
  TempFolder folder_;
  Win32FilePicker picker_;
};

TEST_F(Win32FilePickerTest, ProposalIsShownAndTakenInTheInitialFolder) {
  const DialogSeen seen =
      ShowAndAnswer(picker_, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("menu.qof", seen.nameBox);
  EXPECT_EQ("QOF file", seen.typeBox);
  EXPECT_EQ(picker_.Owner(), seen.owner);
  EXPECT_EQ(folder_ / "menu.qof", picker_.filename);
  EXPECT_EQ("menu.qof", picker_.FileTitle);
}

TEST_F(Win32FilePickerTest, NameOfAFileThatDoesNotExistYetIsTaken) {
  picker_.Filter = "QNF file|*.qnf";
  picker_.filename = "migrated.menu.qnf";
  picker_.DialogTitle = "Select your destination QNF file";
  const DialogSeen seen = ShowAndAnswer(picker_, [](HWND dialog) { Choose(dialog, "new.qnf"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("migrated.menu.qnf", seen.nameBox);
  EXPECT_EQ("QNF file", seen.typeBox);
  EXPECT_EQ(folder_ / "new.qnf", picker_.filename);
  EXPECT_EQ("new.qnf", picker_.FileTitle);
  EXPECT_FALSE(fs::exists(folder_ / "new.qnf"));  // choosing creates nothing
}

TEST_F(Win32FilePickerTest, CancelLeavesBothNamesEmpty) {
  const DialogSeen seen =
      ShowAndAnswer(picker_, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ("", picker_.filename);
  EXPECT_EQ("", picker_.FileTitle);
}

TEST_F(Win32FilePickerTest, ChoosingDoesNotMoveTheCurrentFolder) {
  const fs::path before = fs::current_path();
  ShowAndAnswer(picker_, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(before, fs::current_path());
}

TEST_F(Win32FilePickerTest, FilterWithoutPatternFailsBeforeAnyDialog) {
  picker_.Filter = "QOF file";
  EXPECT_THROW(picker_.ShowOpen(), std::invalid_argument);
}

// The Windows platform's own files, paths and code page, with a user who says Yes and OK to
// everything, takes each picker's proposal in the folder given, and picks the old file given.
class Win32FilesPlatform final : public Platform {
  Win32Platform real_;  // first, as `files` wraps its file layer

 public:
  class ProposalPicker final : public FilePicker {
   public:
    void ShowOpen() override {
      proposals.push_back(filename);
      filename = folders.front() + "\\" + (proposals.size() == 1 ? sourceName : filename);
      FileTitle = filename.substr(folders.front().size() + 1);
      folders.pop_front();
    }
    std::deque<std::string> folders;
    std::string sourceName;
    std::vector<std::string> proposals;
  };
  class YesBoxes final : public MessageBoxes {
   public:
    void ShowOk(const std::string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::string& text) override {
      shown.push_back(text);
      return true;
    }
    bool AskYesNoDefaultNo(const std::string& text) override { return AskYesNo(text); }
    bool AskRetryCancel(const std::string& text) override { return AskYesNo(text); }
    std::vector<std::string> shown;
  };
  // Notes the name of every file created, then lets the real layer create it.
  class NotingFiles final : public FileLayer {
   public:
    explicit NotingFiles(FileLayer& real) : real_(real) {}
    std::unique_ptr<OpenFile> OpenForReading(const std::string& path) override {
      return real_.OpenForReading(path);
    }
    std::unique_ptr<OpenFile> OpenToCompare(const std::string& path) override {
      return real_.OpenToCompare(path);
    }
    void Remove(const std::string& path) override { real_.Remove(path); }
    void CheckWritableInPlace(const std::string& path) override {
      real_.CheckWritableInPlace(path);
    }
    std::unique_ptr<OpenFile> CreateExclusive(const std::string& path) override {
      created.push_back(path);
      return real_.CreateExclusive(path);
    }
    void Replace(const std::string& source, const std::string& target) override {
      real_.Replace(source, target);
    }
    std::string EntryKey(const std::string& path) override { return real_.EntryKey(path); }
    void RemoveQuietly(const std::string& path) noexcept override { real_.RemoveQuietly(path); }
    std::vector<std::string> created;

   private:
    FileLayer& real_;
  };

  MessageBoxes& Boxes() override { return boxes; }
  FilePicker& Picker() override { return picker; }
  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
    return real_.CreateFileSystemObject();
  }
  FileLayer& Files() override { return files; }
  char PathSeparator() const override { return real_.PathSeparator(); }
  const CodePage& NameCodePage() const override { return real_.NameCodePage(); }
  std::string ProposedPath(const std::string& initDir, const std::string& name) override {
    return real_.ProposedPath(initDir, name);
  }
  std::string FullPath(const std::string& path) override { return real_.FullPath(path); }

  YesBoxes boxes;
  ProposalPicker picker;
  NotingFiles files{real_.Files()};
};

// Bytes in and out through the ANSI calls: std::filesystem would take the names for UTF-8.
void WriteAnsi(FileLayer& files, const std::string& path, const std::string& bytes) {
  auto file = files.CreateExclusive(path);
  ASSERT_NE(nullptr, file) << path;
  file->Write(bytes.data(), bytes.size());
  file->Close();
}
std::string ReadAnsi(FileLayer& files, const std::string& path) {
  auto file = files.OpenForReading(path);
  std::string bytes;
  char block[4096];
  for (std::size_t got; (got = file->Read(block, sizeof block)) > 0;) {
    bytes.append(block, got);
  }
  return bytes;
}
std::string ListAnsi(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") {
        names.push_back(found.cFileName);
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names) {
    listing += listing.empty() ? name : " " + name;
  }
  return listing;
}

TEST(Win32PlatformTest, DoubleByteNamesConvertInTheRightFolders) {
  REQUIRE_CODE_PAGE_932();
  TempFolder folder;
  Win32FilesPlatform platform;
  // The old file 表.qof; the new one goes in the folder ソ, whose name ends in the byte of '\\'.
  const std::string oldFolder = folder.Path().string();
  const std::string newFolder = oldFolder + "\\" + kSo;
  ASSERT_TRUE(CreateDirectoryA(newFolder.c_str(), nullptr));
  Win32FilesPlatform::NotingFiles& files = platform.files;
  // Double-byte text inside the files too: contents pass byte for byte.
  WriteAnsi(files, oldFolder + "\\" + kHyo + ".qof",
            "70\r\n\"" + kHyo + "\",1,0,\"1\",0\r\n\"B\",3,1,\"" + kSo + "\",2\r\n");
  WriteAnsi(files, newFolder + "\\default.qcf", "\"menu.qnf\",\"" + kHyo + "\",\"ja\"\r\n");
  platform.picker.folders = {oldFolder, newFolder};
  platform.picker.sourceName = kHyo + ".qof";

  ShiftletCore core(platform);
  ASSERT_EQ(RunEnd::kSucceeded, core.RunConversion())
      << (platform.boxes.shown.empty() ? "" : platform.boxes.shown.back());

  const std::string newName = "migrated." + kHyo + ".qnf";
  ASSERT_EQ(2U, platform.picker.proposals.size());
  EXPECT_EQ(newName, platform.picker.proposals[1]);
  EXPECT_EQ("70\r\ne,0," + kHyo + ",2,1,,,0\r\ne,1,B,5," + kSo +
                ",,,2\r\nn, 0 ,-1 , 0 \r\nn, 1 , 0 , 1 \r\nx\r\n",
            ReadAnsi(files, newFolder + "\\" + newName));
  EXPECT_EQ(newName + "\r\n" + kHyo + "\r\nja\r\n", ReadAnsi(files, newFolder + "\\default.qcf"));
  // Each temporary twin was beside its target, and none is left; nor is the backup's.
  ASSERT_EQ(5U, files.created.size());  // the two laid out above, then the three twins
  EXPECT_EQ(0U, files.created[2].rfind(newFolder + "\\" + newName + ".", 0)) << files.created[2];
  EXPECT_EQ(0U, files.created[3].rfind(newFolder + "\\default.qcf.before-shiftlet.", 0))
      << files.created[3];
  EXPECT_EQ(0U, files.created[4].rfind(newFolder + "\\default.qcf.", 0)) << files.created[4];
  EXPECT_EQ("default.qcf default.qcf.before-shiftlet " + newName, ListAnsi(newFolder));
  EXPECT_EQ(kSo + " " + kHyo + ".qof", ListAnsi(oldFolder));
}

}  // namespace
}  // namespace shiftlet
