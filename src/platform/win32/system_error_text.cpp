#include "platform/win32/system_error_text.h"

#include <windows.h>

namespace shiftlet {

std::string SystemErrorText(unsigned long code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  // The system's texts end in a full stop and a line end; ours go on with the code.
  while (!message.empty() && (message.back() == ' ' || message.back() == '.' ||
                              message.back() == '\r' || message.back() == '\n')) {
    message.pop_back();
  }
  const std::string number = "error " + std::to_string(code);
  return message.empty() ? number : message + " (" + number + ")";
}

}  // namespace shiftlet
