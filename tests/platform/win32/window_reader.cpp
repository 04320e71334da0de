// Reads for the end-to-end tests what X11 cannot see: run in the same Wine session as Shiftlet,
// it prints as JSON the texts inside the dialog windows on screen, or a program's identity.
//
//   window_reader dialogs        one line, an array: for each visible dialog window its title,
//                                box text, buttons, default button, icon, name and type boxes
//                                (open-file dialog) and owner window
//   window_reader identity EXE   one line, an object: the version strings and the manifest
//   window_reader codepage       the code page Wine gives programs started as this one is
//   window_reader type TITLE HEX puts the bytes HEX (the code page's, so that no conversion of the
//                                command line touches them) in the name box of the open-file
//                                dialog titled TITLE, as a user typing them would

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Json(const std::string& text) {
  std::string quoted(1, '"');
  for (const char character : text) {
    const auto c = static_cast<unsigned char>(character);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);  // code page 1252 read as Latin-1
      quoted += escape;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  quoted += '"';
  return quoted;
}

// The text the system keeps for a window: captions, box texts, button labels. Asks nothing of
// the window's thread, which may be busy between two boxes.
std::string WindowText(HWND window) {
  char text[4096] = {};
  if (window != nullptr) {
    GetWindowTextA(window, text, sizeof text);
  }
  return text;
}

// What an edit or combo box holds: only the box itself knows, so it is asked with WM_GETTEXT,
// briefly; the caller polls again anyway.
std::string BoxContent(HWND box) {
  char text[4096] = {};
  DWORD_PTR copied = 0;
  if (box != nullptr) {
    SendMessageTimeoutA(box, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &copied);
  }
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Dialog {
  HWND window;
  std::vector<std::string> buttons;
  std::string defaultButton;  // the one with the default push-button style
  bool icon = false;
};

BOOL CALLBACK AddChild(HWND child, LPARAM found) {
  auto& dialog = *reinterpret_cast<Dialog*>(found);
  if (GetParent(child) != dialog.window || !IsWindowVisible(child)) {
    return TRUE;
  }
  const std::string className = ClassOf(child);
  const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
  if (className == "Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) {
    dialog.buttons.push_back(WindowText(child));
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      dialog.defaultButton = dialog.buttons.back();
    }
  }
  DWORD_PTR icon = 0;
  if (className == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
      SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &icon) &&
      icon != 0) {
    dialog.icon = true;
  }
  return TRUE;
}

BOOL CALLBACK AddDialog(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && ClassOf(window) == "#32770") {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

int PrintDialogs() {
  std::vector<HWND> windows;
  EnumWindows(AddDialog, reinterpret_cast<LPARAM>(&windows));
  std::string out = "[";
  for (const HWND window : windows) {
    Dialog dialog{window, {}, {}, false};
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&dialog));
    const HWND owner = GetWindow(window, GW_OWNER);
    std::string buttons;
    for (const std::string& button : dialog.buttons) {
      buttons += buttons.empty() ? "" : ",";
      buttons += Json(button);
    }
    // Built piece by piece: one long chain of + trips a false GCC 12 warning at -O3.
    out += out.size() > 1 ? ",{" : "{";
    out += "\"title\":";
    out += Json(WindowText(window));
    out += ",\"text\":";
    out += Json(WindowText(GetDlgItem(window, 0xffff)));
    out += ",\"buttons\":[";
    out += buttons;
    out += "],\"default\":";
    out += Json(dialog.defaultButton);
    out += ",\"icon\":";
    out += dialog.icon ? "true" : "false";
    out += ",\"name\":";
    out += Json(BoxContent(GetDlgItem(window, 0x47c)));  // cmb13
    out += ",\"type\":";
    out += Json(BoxContent(GetDlgItem(window, 0x470)));  // cmb1
    out += ",\"owner\":";
    out += Json(WindowText(owner));
    out += ",\"ownerVisible\":";
    out += owner && IsWindowVisible(owner) ? "true" : "false";
    out += "}";
  }
  std::printf("%s]\n", out.c_str());
  return 0;
}

std::string VersionString(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT size = 0;
  const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size)) {
    return "";
  }
  return std::string(value, size > 0 ? size - 1 : 0);
}

int PrintIdentity(const char* program) {
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(program, &ignored));
  if (info.empty() ||
      !GetFileVersionInfoA(program, 0, static_cast<DWORD>(info.size()), info.data())) {
    std::fprintf(stderr, "no version resource in %s\n", program);
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size);

  std::string manifest;
  const HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    manifest.assign(bytes, SizeofResource(module, resource));
  }
  std::printf(
      "{\"ProductName\":%s,\"FileVersion\":%s,\"ProductVersion\":%s,"
      "\"FileDescription\":%s,\"fileType\":%lu,\"manifest\":%s}\n",
      Json(VersionString(info, "ProductName")).c_str(),
      Json(VersionString(info, "FileVersion")).c_str(),
      Json(VersionString(info, "ProductVersion")).c_str(),
      Json(VersionString(info, "FileDescription")).c_str(),
      fixed ? static_cast<unsigned long>(fixed->dwFileType) : 0UL, Json(manifest).c_str());
  return 0;
}

int TypeName(const char* title, const std::string& hex) {
  std::string name;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
    name += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
  }
  const HWND dialog = FindWindowA("#32770", title);
  if (dialog == nullptr) {
    std::fprintf(stderr, "no dialog titled %s\n", title);
    return 1;
  }
  DWORD_PTR done = 0;
  if (!SendMessageTimeoutA(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0,  // cmb13
                           reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                           2000, &done)) {
    std::fprintf(stderr, "the name box of %s took no text\n", title);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "dialogs" && argc == 2) {
    return PrintDialogs();
  }
  if (command == "identity" && argc == 3) {
    return PrintIdentity(argv[2]);
  }
  if (command == "codepage" && argc == 2) {
    std::printf("%u\n", GetACP());
    return 0;
  }
  if (command == "type" && argc == 4) {
    return TypeName(argv[2], argv[3]);
  }
  std::fprintf(stderr, "usage: window_reader dialogs | identity EXE | codepage | type TITLE HEX\n");
  return 2;
}
