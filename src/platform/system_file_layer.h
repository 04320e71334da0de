#pragma once

#include <memory>

#include "textfile/file_layer.h"

namespace shiftlet {

// The file layer of the operating system the program was built for.
std::unique_ptr<FileLayer> MakeSystemFileLayer();

}  // namespace shiftlet
