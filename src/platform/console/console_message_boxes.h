#pragma once

#include <istream>
#include <ostream>

#include "driver/message_boxes.h"

namespace shiftlet {

// Message boxes on a terminal: the caption and the text, verbatim, on standard output; the answer
// is one line of standard input.
class ConsoleMessageBoxes final : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // Waits for one line; the end of the input closes the box too.
  void ShowOk(const std::string& text) override;
  // Empty, y or yes (any case) is Yes; n or no is No; anything else asks again. The end of the
  // input is No, so a script that runs dry never converts by accident.
  bool AskYesNo(const std::string& text) override;
  // The same, with Enter taken as No.
  bool AskYesNoDefaultNo(const std::string& text) override;
  // r or retry is Retry; c, cancel, Enter and the end of the input are Cancel.
  bool AskRetryCancel(const std::string& text) override;

 private:
  // A question's two answers, each typed as a word or its first letter (any case).
  struct Buttons {
    const char* prompt;
    const char* firstKey;
    const char* first;
    const char* secondKey;
    const char* second;
    bool enterMeansFirst;
  };

  void ShowBox(const std::string& text);
  // True for the first answer; the end of the input is the second.
  bool Ask(const std::string& text, const Buttons& buttons);

  std::istream& in_;
  std::ostream& out_;
};

// Reads one line, without its line end (LF or CRLF). False at the end of the input.
bool ReadAnswerLine(std::istream& in, std::string& line);

}  // namespace shiftlet
