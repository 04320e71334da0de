#include "driver/path_text.h"

#include "textfile/conversion_failure.h"

namespace shiftlet {

std::string ParentFolderOf(std::string_view path, std::string_view separators, bool driveLetters) {
  const std::size_t last = path.find_last_of(separators);
  const bool hasDrive = driveLetters && path.size() >= 2 && path[1] == ':';
  if (last == std::string_view::npos) {
    return hasDrive ? std::string(path.substr(0, 2)) : std::string();
  }
  // Several separators in a row count as one: "a//b" is in "a".
  std::size_t end = last;
  while (end > 0 && separators.find(path[end - 1]) != std::string_view::npos) {
    --end;
  }
  const bool isRoot = end == 0 || (hasDrive && end == 2);
  return std::string(path.substr(0, isRoot ? end + 1 : end));
}

std::string JoinPath(std::string_view folder, char separator, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != separator) {
    joined += separator;
  }
  joined += name;
  return joined;
}

std::string DefaultDestinationName(std::string_view sourceTitle) {
  if (sourceTitle.size() < 4) {
    throw ConversionFailure("invalid argument: the old file's name \"" + std::string(sourceTitle) +
                            "\" is shorter than four characters");
  }
  std::string name = "migrated.";
  name += sourceTitle.substr(0, sourceTitle.size() - 4);
  name += ".qnf";
  return name;
}

}  // namespace shiftlet
