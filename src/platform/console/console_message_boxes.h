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

 private:
  void ShowBox(const std::string& text);
  bool Ask(const std::string& text, bool enterMeansYes);

  std::istream& in_;
  std::ostream& out_;
};

// Reads one line, without its line end (LF or CRLF). False at the end of the input.
bool ReadAnswerLine(std::istream& in, std::string& line);

}  // namespace shiftlet
