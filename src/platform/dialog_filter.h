#pragma once

#include <string>
#include <string_view>

namespace shiftlet {

// The picker's filter, "description|pattern[|description|pattern...]", in the form the Windows
// file dialogs take: each part ended by a NUL and the whole by one more ("QOF file|*.qof" gives
// "QOF file\0*.qof\0\0"). An empty filter gives an empty string (no filter). Throws
// std::invalid_argument when a description has no pattern or a part holds a NUL.
std::string WindowsFilterOf(std::string_view filter);

}  // namespace shiftlet
