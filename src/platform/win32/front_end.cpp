#include "platform/front_end.h"

#include "driver/messages.h"
#include "platform/win32/win32_platform.h"

namespace shiftlet {

std::unique_ptr<Platform> MakeFrontEnd() {
  return std::make_unique<Win32Platform>();
}

void ReportStartupError(const std::string& what) {
  ReportError(StartupErrorText(what));
}

void ReportError(const std::string& text) {
  // A GUI program has no terminal to write to: the error is a box of its own.
  MessageBoxA(nullptr, text.c_str(), messages::kCaption, MB_OK | MB_ICONERROR);
}

std::string CommandName() {
  return "shiftlet";
}

bool AcceptsSlashOptions() {
  return true;
}

bool HasTerminal() {
  return false;
}

void ShowCommandText(const std::string& /*whole*/, const std::string& boxText) {
  MessageBoxA(nullptr, boxText.c_str(), messages::kCaption, MB_OK);
}

}  // namespace shiftlet
