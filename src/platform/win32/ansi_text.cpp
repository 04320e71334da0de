#include "platform/win32/ansi_text.h"

#include <limits>

namespace shiftlet {

std::string AnsiText(std::wstring_view text, UINT codePage) {
  if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    return "";
  }
  const UINT page = codePage == CP_ACP ? GetACP() : codePage;
  const DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return "";
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(page, flags, text.data(), length, bytes.data(), size, nullptr, nullptr) !=
      size) {
    return "";
  }
  // What has no form there came out as a default character or a best fit: it reads back as
  // something else.
  const int units = MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
  std::wstring back(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
  if (units <= 0 || MultiByteToWideChar(page, 0, bytes.data(), size, back.data(), units) != units ||
      back != text) {
    return "";
  }
  return bytes;
}

}  // namespace shiftlet
