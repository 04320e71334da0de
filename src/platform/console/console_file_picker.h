#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>

#include "driver/file_picker.h"

namespace shiftlet {

// The folder the terminal picker shows for `initDir`: that folder where it exists on this system,
// else the current directory; always absolute.
std::filesystem::path ShownFolder(const std::string& initDir);

// The open-file picker on a terminal. It shows its title, the filter and the proposed path, and
// reads one line: empty takes the proposed path, anything else is the path chosen, taken relative
// to the folder shown when it is not absolute. The folder shown is InitDir where that folder exists
// on this system, else the current directory. The end of the input is a cancel.
class ConsoleFilePicker final : public FilePicker {
 public:
  ConsoleFilePicker(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  void ShowOpen() override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace shiftlet
