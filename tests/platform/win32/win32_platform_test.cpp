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

#include "platform/front_end.h"
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

}  // namespace
}  // namespace shiftlet
