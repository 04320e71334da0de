#pragma once

#include <string>
#include <vector>

namespace shiftlet {

// The whole program: reads the command line and does what it asks, through this build's
// front-end. `args` are the arguments after the program's name. Returns the exit status.
int RunProgram(const std::vector<std::string>& args);

}  // namespace shiftlet
