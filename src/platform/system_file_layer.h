#pragma once

#include <memory>

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

}  // namespace shiftlet
