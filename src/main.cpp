// Shiftlet: converts a Velmora 1.0 menu file to the Velmora 1.1 format and points Velmora's
// configuration at the new file. The exit status tells how the run ended.

#include <string>
#include <vector>

#include "cli/program.h"
#include "platform/process_start.h"

int main(int argc, char** argv) {
  shiftlet::PrepareProcess();  // before anything can load a DLL
  return shiftlet::RunProgram(std::vector<std::string>(argv + 1, argv + argc));
}
