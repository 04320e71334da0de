#pragma once

#include <string>

namespace shiftlet {

// What one run learns on its way, from the pickers and the configuration file.
struct ConversionState {
  std::string SourceTitle;        // the old file's name without its folder
  std::string DestinationPath;    // full path of the new menu file
  std::string DestinationTitle;   // its name without the folder
  std::string DestinationFolder;  // its folder
  std::string ConfigName;         // first field of default.qcf, replaced by DestinationTitle
  std::string ConfigSecond;       // second field, written back
  std::string ConfigThird;        // third field, written back
};

}  // namespace shiftlet
