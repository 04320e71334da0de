#pragma once

#include <memory>
#include <string>

#include "paths/code_page.h"
#include "textfile/file_layer.h"

namespace shiftlet {

// The code page of the names and text of the system the program runs on: on Windows the ANSI code
// page (CP_ACP); elsewhere UTF-8 when the locale's character set is, else one byte per character.
CodePage SystemCodePage();

// The file layer of the operating system the program was built for, reading paths by characters
// of `codePage` (the system's where not given).
std::unique_ptr<FileLayer> MakeSystemFileLayer(const CodePage& codePage);
std::unique_ptr<FileLayer> MakeSystemFileLayer();

// How to run with the rights whose want made the layer fail with an access denial, as this
// system gives them: what an unattended run and a check add to such a failure. They answer for
// whoever runs them.
std::string RightsAdvice();

}  // namespace shiftlet
