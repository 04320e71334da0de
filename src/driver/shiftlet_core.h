#pragma once

#include <memory>

#include "driver/conversion_state.h"
#include "driver/platform.h"
#include "menu/item_table.h"

namespace shiftlet {

// How a run ended; the program's exit status follows from it.
enum class RunEnd {
  kSucceeded,  // the success message was shown
  kFailed,     // the failure message was shown
  kDeclined,   // the user said No to one of the two opening questions
};

// The program's exit status after a run that ended so: 0 succeeded, 1 failed, 2 declined.
int ExitStatusFor(RunEnd end);
// The exit status when an error stopped the program before the conversion could start.
inline constexpr int kExitStartupError = 3;

// The program: the dialogue with the user, the conversion and the configuration update, for one
// run. Its state lives in the object, so any number of runs can be made in one process.
class ShiftletCore {
 public:
  explicit ShiftletCore(Platform& platform) : platform_(platform) {}

  // Leads the user through the whole conversion and reports the outcome. Every ConversionFailure,
  // and every other error, from the moment the old file has been picked ends in the failure
  // message. An error before that (say, the picker cannot be created) propagates to the caller,
  // which reports it in the platform's own way.
  RunEnd RunConversion();

  // Rewrites default.qcf beside the new menu file, if there is one, so that it names the new file.
  // Throws ConversionFailure on any error; the file is then left as it was.
  void UpdateConfiguration();

  const ConversionState& State() const { return state_; }

 private:
  void ConvertPickedFiles(FilePicker& picker);

  Platform& platform_;
  std::unique_ptr<FileSystemObject> fileSystem_;  // created once the destination is known
  ConversionState state_;
  MenuTables tables_;
};

}  // namespace shiftlet
