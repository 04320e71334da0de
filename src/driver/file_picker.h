#pragma once

#include <string>

namespace shiftlet {

// The open-file picker, used like the common dialog control it stands for: set its properties,
// call ShowOpen(), read filename and FileTitle.
class FilePicker {
 public:
  virtual ~FilePicker() = default;

  // Shows the modal dialog. Afterwards `filename` is the full path of the chosen file (which need
  // not exist yet) and `FileTitle` its name without the folder; both are empty when the user
  // cancelled. Throws std::runtime_error when the dialog itself fails.
  virtual void ShowOpen() = 0;

  std::string Filter;       // "description|pattern": only matching files are offered
  std::string InitDir;      // the folder shown first
  std::string filename;     // set: the name proposed; after ShowOpen: the full path chosen
  std::string DialogTitle;  // the dialog's caption
  std::string FileTitle;    // after ShowOpen: the chosen file's name without its folder
};

}  // namespace shiftlet
