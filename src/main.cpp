// Shiftlet: converts a Velmora 1.0 menu file to the Velmora 1.1 format and points Velmora's
// configuration at the new file. The exit status tells how the run ended.

#include <exception>
#include <memory>

#include "driver/shiftlet_core.h"
#include "platform/front_end.h"

int main() {
  try {
    const std::unique_ptr<shiftlet::Platform> platform = shiftlet::MakeFrontEnd();
    shiftlet::ShiftletCore core(*platform);
    return shiftlet::ExitStatusFor(core.RunConversion());
  } catch (const std::exception& error) {
    shiftlet::ReportStartupError(error.what());
  } catch (...) {
    shiftlet::ReportStartupError("unknown error");
  }
  return shiftlet::kExitStartupError;
}
