#include "platform/console/console_message_boxes.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "driver/messages.h"

namespace shiftlet {

bool ReadAnswerLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) {
    return false;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

void ConsoleMessageBoxes::ShowBox(const std::string& text) {
  out_ << "\n[" << messages::kCaption << "]\n" << text << '\n';
}

void ConsoleMessageBoxes::ShowOk(const std::string& text) {
  ShowBox(text);
  out_ << "[OK] (press Enter) " << std::flush;
  std::string line;
  if (!ReadAnswerLine(in_, line)) {
    out_ << '\n';
  }
}

bool ConsoleMessageBoxes::AskYesNo(const std::string& text) {
  return Ask(text, {"[Yes/No] (Enter = Yes) ", "y", "yes", "n", "no", true});
}

bool ConsoleMessageBoxes::AskYesNoDefaultNo(const std::string& text) {
  return Ask(text, {"[Yes/No] (Enter = No) ", "y", "yes", "n", "no", false});
}

bool ConsoleMessageBoxes::AskRetryCancel(const std::string& text) {
  return Ask(text, {"[Retry/Cancel] (Enter = Cancel) ", "r", "retry", "c", "cancel", false});
}

bool ConsoleMessageBoxes::Ask(const std::string& text, const Buttons& buttons) {
  ShowBox(text);
  for (;;) {
    out_ << buttons.prompt << std::flush;
    std::string answer;
    if (!ReadAnswerLine(in_, answer)) {
      out_ << '\n';
      return false;
    }
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (answer.empty()) {
      return buttons.enterMeansFirst;
    }
    if (answer == buttons.firstKey || answer == buttons.first) {
      return true;
    }
    if (answer == buttons.secondKey || answer == buttons.second) {
      return false;
    }
  }
}

}  // namespace shiftlet
