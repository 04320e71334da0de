#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/platform.h"

namespace shiftlet {

// The paths an unattended run takes instead of the pickers' proposals, where given.
struct UnattendedChoices {
  std::optional<std::string> source;
  std::optional<std::string> destination;
  bool replace = false;  // whether a new menu file that differs is replaced
};

// A front-end whose boxes and pickers answer by themselves, for runs nobody watches: Yes to every
// question but whether to replace a file that differs (No, unless `choices` says to) and whether
// to retry a file in use (Cancel), OK to every box, and each picker's proposal accepted (InitDir +
// filename, as the system's own front-end would propose it) unless `choices` names the path, which
// is then made full. A destination whose folder does not exist fails when the run asks the file
// layer, which says so. Files, paths and the file-system object are the system's own, so the run is
// the interactive one in every other way.
class UnattendedPlatform final : public PlatformOver {
 public:
  UnattendedPlatform(Platform& system, UnattendedChoices choices);
  ~UnattendedPlatform() override;

  MessageBoxes& Boxes() override;
  FilePicker& Picker() override;

  // Every path the pickers answered, in order: the source, then the destination.
  const std::vector<std::string>& Picked() const;

 private:
  class AnsweringBoxes;
  class AnsweringPicker;
  std::unique_ptr<AnsweringBoxes> boxes_;
  std::unique_ptr<AnsweringPicker> picker_;
};

}  // namespace shiftlet
