#pragma once

#include <stdexcept>
#include <string>

namespace shiftlet {

// The one kind of failure of a conversion: a file that cannot be opened, read or written, a field
// that cannot be converted, an index outside its table, an invalid argument. It is thrown where the
// error happens and caught only by the driver, which shows one fixed message whatever the detail;
// the detail is kept for tests and debugging.
class ConversionFailure : public std::runtime_error {
 public:
  explicit ConversionFailure(const std::string& detail) : std::runtime_error(detail) {}
};

}  // namespace shiftlet
