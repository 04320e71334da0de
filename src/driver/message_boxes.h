#pragma once

#include <string>

namespace shiftlet {

// Modal message boxes captioned "Shiftlet", with no icon unless said.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A box with an OK button; returns when it is closed.
  virtual void ShowOk(const std::string& text) = 0;
  // The same with a warning icon, where boxes have icons.
  virtual void ShowWarning(const std::string& text) { ShowOk(text); }
  // A box with Yes (the default) and No; returns true when Yes was chosen.
  virtual bool AskYesNo(const std::string& text) = 0;
  // The same box with No as the default, for a question whose Yes loses something: returns true
  // only when Yes was chosen.
  virtual bool AskYesNoDefaultNo(const std::string& text) = 0;
  // Whether the boxes answer by themselves, with nobody to ask: their answers are known at once.
  virtual bool AnswersByItself() const { return false; }
  // A box with Retry (the default) and Cancel and a warning icon, for a file another program
  // holds: returns true only when Retry was chosen.
  virtual bool AskRetryCancel(const std::string& text) = 0;
};

}  // namespace shiftlet
