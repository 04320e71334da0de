// Shiftlet: converts a Velmora 1.0 menu file to the Velmora 1.1 format and points Velmora's
// configuration at the new file. The exit status tells how the run ended.

#include <exception>
#include <memory>

#include "driver/shiftlet_core.h"
#include "platform/front_end.h"

namespace {

enum ExitStatus : int {
  kExitSucceeded = 0,
  kExitFailed = 1,
  kExitDeclined = 2,
  kExitStartupError = 3,
};

int ExitStatusOf(shiftlet::RunEnd end) {
  switch (end) {
    case shiftlet::RunEnd::kSucceeded:
      return kExitSucceeded;
    case shiftlet::RunEnd::kFailed:
      return kExitFailed;
    case shiftlet::RunEnd::kDeclined:
      return kExitDeclined;
  }
  return kExitFailed;
}

}  // namespace

int main() {
  try {
    const std::unique_ptr<shiftlet::Platform> platform = shiftlet::MakeFrontEnd();
    shiftlet::ShiftletCore core(*platform);
    return ExitStatusOf(core.RunConversion());
  } catch (const std::exception& error) {
    shiftlet::ReportStartupError(error.what());
  } catch (...) {
    shiftlet::ReportStartupError("unknown error");
  }
  return kExitStartupError;
}
