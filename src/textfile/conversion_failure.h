#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace shiftlet {

// The one kind of failure of a conversion: a file that cannot be opened, read or written, a field
// that cannot be converted, an index outside its table, an invalid argument. It is thrown where the
// error happens and caught only by the driver, which shows one fixed message whatever the detail;
// the detail is kept for tests and debugging.
class ConversionFailure : public std::runtime_error {
 public:
  explicit ConversionFailure(const std::string& detail) : std::runtime_error(detail) {}
};

// A field as quoted in a failure's detail: at most its first 40 bytes and its size. An enormous
// field copied whole into the detail would double the memory a failure needs.
inline std::string Excerpt(std::string_view text) {
  constexpr std::size_t kShownBytes = 40;
  if (text.size() <= kShownBytes) {
    return std::string(text);
  }
  return std::string(text.substr(0, kShownBytes)) + "... (" + std::to_string(text.size()) +
         " bytes)";
}

}  // namespace shiftlet
