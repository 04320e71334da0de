#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "driver/file_picker.h"
#include "platform/console/console_paths.h"

namespace shiftlet {

// The open-file picker on a terminal. It shows its title, the filter, the folder shown for InitDir
// and the proposed path, and reads one line: empty takes the proposed path, anything else is the
// path chosen, taken relative to the folder shown when it is not absolute. `paths` decides which
// folder is shown and how a path is made full. The end of the input is a cancel.
class ConsoleFilePicker final : public FilePicker {
 public:
  ConsoleFilePicker(std::istream& in, std::ostream& out, ConsolePaths& paths)
      : in_(in), out_(out), paths_(paths) {}
  void ShowOpen() override;

 private:
  std::istream& in_;
  std::ostream& out_;
  ConsolePaths& paths_;
};

}  // namespace shiftlet
