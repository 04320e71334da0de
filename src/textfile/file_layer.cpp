#include "textfile/file_layer.h"

#include "textfile/conversion_failure.h"

namespace shiftlet {

void FileLayer::RemoveIfStill(const std::string& path, const std::string& identity) {
  if (FileIdOf(path) != identity) {
    throw ConversionFailure(ChangedSinceCheckedReason(path));
  }
  Remove(path);
}

std::string ChangedSinceCheckedReason(const std::string& path) {
  return "cannot remove " + path +
         ": it is no longer the file that was checked; it was left as it is";
}

}  // namespace shiftlet
