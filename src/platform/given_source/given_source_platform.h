#pragma once

#include <memory>
#include <string>

#include "driver/platform.h"

namespace shiftlet {

// The system's own front-end, except that its first picker opens in the folder of `source` with
// its name proposed: the dialogue for a file dropped on the program, opened with it, or named in
// a shortcut. Everything else, the second picker included, is the system's unchanged. `source` is
// made full by the system's rules first, so a relative one is taken from the current folder.
class GivenSourcePlatform final : public PlatformOver {
 public:
  GivenSourcePlatform(Platform& system, const std::string& source);
  ~GivenSourcePlatform() override;

  FilePicker& Picker() override;

 private:
  class ProposingPicker;
  std::string source_;
  std::unique_ptr<ProposingPicker> picker_;
};

}  // namespace shiftlet
