// The Windows front-end. Only ANSI forms of the Win32 calls: the program's text is the system's
// 8-bit code page throughout, as Velmora's own files are.

#include "platform/win32/win32_platform.h"

#include <commdlg.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "driver/messages.h"
#include "paths/path_text.h"
#include "paths/windows_device_names.h"
#include "platform/dialog_filter.h"
#include "platform/system_file_layer.h"
#include "platform/win32/system_error_text.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {

namespace {

constexpr const char* kOwnerClass = "ShiftletPickerOwner";
constexpr const char* kOwnerName = "frmCD";
// Room for any path the dialog can return, well past MAX_PATH.
constexpr std::size_t kPathBufferSize = 32768;

int ShowBox(const std::string& text, UINT style) {
  const int answer = MessageBoxA(nullptr, text.c_str(), messages::kCaption, style);
  if (answer == 0) {
    throw std::runtime_error("cannot show a message box: " + SystemErrorText(GetLastError()));
  }
  return answer;
}

HWND CreateOwnerWindow() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kOwnerClass;
  if (!RegisterClassExA(&windowClass)) {
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS) {
      throw std::runtime_error("cannot register the window class of " + std::string(kOwnerName) +
                               ": " + SystemErrorText(error));
    }
  }
  // Not WS_VISIBLE, and never shown: it only owns the dialog.
  const HWND window =
      CreateWindowExA(0, kOwnerClass, kOwnerName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    const DWORD error = GetLastError();
    throw std::runtime_error("cannot create the window " + std::string(kOwnerName) + ": " +
                             SystemErrorText(error));
  }
  return window;
}

}  // namespace

void Win32MessageBoxes::ShowOk(const std::string& text) {
  ShowBox(text, MB_OK);
}

void Win32MessageBoxes::ShowWarning(const std::string& text) {
  ShowBox(text, MB_OK | MB_ICONWARNING);
}

bool Win32MessageBoxes::AskYesNo(const std::string& text) {
  return ShowBox(text, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

bool Win32MessageBoxes::AskYesNoDefaultNo(const std::string& text) {
  // As Windows' own "replace it?" boxes: a warning icon, and No under Enter.
  return ShowBox(text, MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) == IDYES;
}

bool Win32MessageBoxes::AskRetryCancel(const std::string& text) {
  return ShowBox(text, MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}

Win32FilePicker::Win32FilePicker() : owner_(CreateOwnerWindow()) {}

Win32FilePicker::~Win32FilePicker() {
  DestroyWindow(owner_);
}

void Win32FilePicker::ShowOpen() {
  const std::string filter = WindowsFilterOf(Filter);
  if (filename.size() >= kPathBufferSize) {
    throw std::runtime_error("the proposed file name is too long for the open-file dialog");
  }
  // The proposed name goes in the name box; the rest of the buffer must be zero.
  std::vector<char> file(kPathBufferSize, '\0');
  filename.copy(file.data(), filename.size());
  std::vector<char> title(kPathBufferSize, '\0');

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrFileTitle = title.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(title.size());
  dialog.lpstrInitialDir = InitDir.empty() ? nullptr : InitDir.c_str();
  dialog.lpstrTitle = DialogTitle.empty() ? nullptr : DialogTitle.c_str();
  // No OFN_FILEMUSTEXIST or OFN_PATHMUSTEXIST: the same dialog names the new file, which does not
  // exist yet. The read-only box would mean nothing here.
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

  if (GetOpenFileNameA(&dialog)) {
    filename = file.data();
    FileTitle = title.data();
    return;
  }
  const DWORD error = CommDlgExtendedError();
  if (error == 0) {  // the user cancelled
    filename.clear();
    FileTitle.clear();
    return;
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(error));
  throw std::runtime_error("the open-file dialog failed (common dialog error " + std::string(code) +
                           ")");
}

std::string Win32FileSystemObject::GetParentFolderName(const std::string& path) {
  return ParentFolderOf(path, kWindowsPaths, codePage_);
}

bool Win32FileSystemObject::FileExists(const std::string& path) {
  RefuseWindowsDevice("cannot open", path, codePage_);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string Win32FullPath(const std::string& folder, const std::string& path,
                          const CodePage& codePage) {
  // A device name stays as it was typed ("NUL", not "\\.\NUL"), so that the file layer refuses it
  // by the name the user gave, and why.
  if (path.empty() || WindowsDeviceIn(path, codePage) != WindowsDevice::kNone) {
    return path;
  }
  // Only a plain relative path ("new.qnf", "sub\\new.qnf") is taken from `folder`: one with a
  // drive or a leading separator already says where it starts.
  const bool hasDrive = StartsWithDrive(path);
  const bool rooted = path[0] == '\\' || path[0] == '/';
  const std::string relative =
      folder.empty() || hasDrive || rooted ? path : JoinPath(folder, '\\', path, codePage);
  std::vector<char> full(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameA(relative.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) {
      const DWORD error = GetLastError();
      throw ConversionFailure("cannot make a full path of " + path + ": " + SystemErrorText(error));
    }
    if (length < full.size()) {
      return std::string(full.data(), length);
    }
    full.resize(length);  // the size needed, its end included
  }
}

Win32Platform::Win32Platform() : files_(MakeSystemFileLayer(codePage_)) {
  // Until a run says how long it may wait, as long as one nobody watches.
  files_->WaitForFilesInUse(InUseWait::Unattended());
}

Win32Platform::~Win32Platform() = default;

FilePicker& Win32Platform::Picker() {
  if (!picker_) {
    picker_ = std::make_unique<Win32FilePicker>();
  }
  return *picker_;
}

std::string Win32Platform::ProposedPath(const std::string& initDir, const std::string& name) {
  // The dialog opens in InitDir with the name in its box; accepting gives the two joined.
  return JoinPath(initDir, PathSeparator(), name, codePage_);
}

std::string Win32Platform::FullPath(const std::string& path) {
  return Win32FullPath("", path, codePage_);
}

std::unique_ptr<FileSystemObject> Win32Platform::CreateFileSystemObject() {
  return std::make_unique<Win32FileSystemObject>(codePage_);
}

std::string StartupErrorText(const std::string& what) {
  return "Shiftlet stopped before converting anything:\n\n" + what;
}

}  // namespace shiftlet
