#pragma once

#include <string>

#include "paths/path_text.h"

namespace shiftlet {

// Questions about paths and files that the driver asks the system.
class FileSystemObject {
 public:
  virtual ~FileSystemObject() = default;
  // The folder part of `path`, from the text alone; no trailing separator unless it is a root.
  virtual std::string GetParentFolderName(const std::string& path) = 0;
  // True when something other than a folder exists at `path`: a file, or a device, pipe or socket,
  // which reading then refuses with its reason. A Windows device name is refused here, with it.
  virtual bool FileExists(const std::string& path) = 0;
};

// The name of the file at `path` without its folder, where the folder is the one `fileSystem`
// gives: a picker's FileTitle for its filename.
inline std::string FileTitleIn(FileSystemObject& fileSystem, const std::string& path,
                               char separator) {
  return FileTitleOf(path, fileSystem.GetParentFolderName(path), separator);
}

}  // namespace shiftlet
