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

std::string ReportingCommandName() {
  return "shiftlet-cli";  // beside it in the zip; this program has no console to print on
}

void ReportUsageError(const std::string& text) {
  ReportError(text);  // whoever started it (a double-click, a shortcut) sees this box
}

bool AcceptsSlashOptions() {
  return true;
}

bool HasTerminal() {
  return false;
}

void ShowCommandText(const std::string& /*whole*/, const std::string& boxText,
                     ShownVerdict verdict) {
  UINT icon = 0;
  switch (verdict) {
    case ShownVerdict::kNone:
      break;
    case ShownVerdict::kConverts:
      icon = MB_ICONINFORMATION;
      break;
    case ShownVerdict::kConvertsWithWarnings:
      icon = MB_ICONWARNING;
      break;
    case ShownVerdict::kDoesNotConvert:
      icon = MB_ICONERROR;
      break;
  }
  MessageBoxA(nullptr, boxText.c_str(), messages::kCaption, MB_OK | icon);
}

}  // namespace shiftlet
