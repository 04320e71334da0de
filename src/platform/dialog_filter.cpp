#include "platform/dialog_filter.h"

#include <stdexcept>

namespace shiftlet {

std::string WindowsFilterOf(std::string_view filter) {
  if (filter.empty()) {
    return {};
  }
  // A NUL inside a part would end the list early and shift every later pair.
  if (filter.find('\0') != std::string_view::npos) {
    throw std::invalid_argument("the picker's filter holds a NUL character");
  }
  std::string result;
  std::size_t parts = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = filter.find('|', start);
    result.append(filter.substr(start, bar - start));
    result.push_back('\0');
    ++parts;
    if (bar == std::string_view::npos) {
      break;
    }
    start = bar + 1;
  }
  if (parts % 2 != 0) {
    throw std::invalid_argument("the picker's filter \"" + std::string(filter) +
                                "\" has a description without a pattern");
  }
  result.push_back('\0');
  return result;
}

}  // namespace shiftlet
