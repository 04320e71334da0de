#include "platform/front_end.h"

#include <utility>

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

namespace {

// A program with no console: a run nobody watches shows nothing, as its exit status and its log
// tell what it did.
class SilentOutput final : public RunOutput {
 public:
  void Line(const std::string& /*text*/) override {}
  void Problem(const std::string& /*text*/) override {}
  void Report(const std::string& /*whole*/, const std::string& /*boxText*/,
              ShownVerdict /*verdict*/) override {}
};

// A check in boxes: what went wrong before its report (the log) in an error box of its own, then
// the report's summary; a check with no report (an undo's) shows its lines in one box at its end.
class BoxOutput final : public RunOutput {
 public:
  void Line(const std::string& text) override { said_ += text; }
  void Problem(const std::string& text) override { said_ += text; }
  void Report(const std::string& /*whole*/, const std::string& boxText,
              ShownVerdict verdict) override {
    if (!said_.empty()) {
      ReportError(std::exchange(said_, {}));
    }
    ShowCommandText(boxText, boxText, verdict);
  }
  void End(ShownVerdict verdict) override {
    if (!said_.empty()) {
      ShowCommandText(said_, std::exchange(said_, {}), verdict);
    }
  }

 private:
  std::string said_;
};

}  // namespace

std::unique_ptr<RunOutput> MakeRunOutput(bool check) {
  if (check) {
    return std::make_unique<BoxOutput>();
  }
  return std::make_unique<SilentOutput>();
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
