// The Windows front-end's own parts on the real Win32 API: the file-system object, the hidden
// owner window, and the open-file dialog itself, answered from a second thread as a user would.

#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/temp_folder.h"

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

TEST(Win32FileSystemObjectTest, FileExistsOnlyForFiles) {
  TempFolder folder;
  Win32FileSystemObject files;
  WriteBytes(folder / "default.qcf", "x");
  fs::create_directory(folder.Path() / "a-folder");
  EXPECT_TRUE(files.FileExists(folder / "default.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "a-folder"));
  EXPECT_FALSE(files.FileExists(folder / "missing.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "missing\\default.qcf"));
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

TEST(Win32PlatformTest, StartupErrorTextNamesTheError) {
  const std::string text = StartupErrorText("cannot create the window frmCD: error 8");
  EXPECT_NE(std::string::npos, text.find("cannot create the window frmCD: error 8")) << text;
}

// What the user's side saw of one open-file dialog.
struct DialogSeen {
  bool found = false;
  std::string nameBox;
  std::string typeBox;
  HWND owner = nullptr;
};

std::string TextOf(HWND dialog, int id) {
  char text[1024] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// Shows the picker while a second thread waits (bounded) for the dialog titled `title`, notes
// what it shows, then plays `answer` on it.
DialogSeen ShowAndAnswer(FilePicker& picker, const std::function<void(HWND)>& answer) {
  DialogSeen seen;
  std::thread user([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    HWND dialog = nullptr;
    while (!dialog && std::chrono::steady_clock::now() < deadline) {
      dialog = FindWindowA("#32770", picker.DialogTitle.c_str());
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!dialog) {
      return;  // the dialog never came; ShowOpen would hang, so the test times out and says so
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it fill its boxes
    seen.found = true;
    seen.nameBox = TextOf(dialog, kNameBox);
    seen.typeBox = TextOf(dialog, kTypeBox);
    seen.owner = GetWindow(dialog, GW_OWNER);
    answer(dialog);
  });
  try {
    picker.ShowOpen();
  } catch (...) {
    user.join();
    throw;
  }
  user.join();
  return seen;
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

}  // namespace
}  // namespace shiftlet
