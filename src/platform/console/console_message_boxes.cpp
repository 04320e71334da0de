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
  return Ask(text, true);
}

bool ConsoleMessageBoxes::AskYesNoDefaultNo(const std::string& text) {
  return Ask(text, false);
}

bool ConsoleMessageBoxes::Ask(const std::string& text, bool enterMeansYes) {
  ShowBox(text);
  for (;;) {
    out_ << (enterMeansYes ? "[Yes/No] (Enter = Yes) " : "[Yes/No] (Enter = No) ") << std::flush;
    std::string answer;
    if (!ReadAnswerLine(in_, answer)) {
      out_ << '\n';
      return false;
    }
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (answer.empty()) {
      return enterMeansYes;
    }
    if (answer == "y" || answer == "yes") {
      return true;
    }
    if (answer == "n" || answer == "no") {
      return false;
    }
  }
}

}  // namespace shiftlet
