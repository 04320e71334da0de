#include "paths/path_text.h"

#include <vector>

#include "textfile/conversion_failure.h"

namespace shiftlet {

namespace {

// Where each character of `text` starts.
std::vector<std::size_t> CharacterStarts(std::string_view text, const CodePage& codePage) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < text.size(); at += codePage.CharacterLength(text, at)) {
    starts.push_back(at);
  }
  return starts;
}

}  // namespace

const PathForm& PathFormJoinedBy(char separator) {
  return separator == '\\' ? kWindowsPaths : kPosixPaths;
}

bool StartsWithDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string ParentFolderOf(std::string_view path, const PathForm& form, const CodePage& codePage) {
  const std::string_view separators = form.separators;
  const bool hasDrive = form.driveLetters && StartsWithDrive(path);
  // "\\?\C:\" and "\??\C:\" are the drive's root too, written past Windows' rewriting of paths.
  const bool verbatimDrive =
      form.driveLetters && path.size() >= 6 && separators.find(path[0]) != std::string_view::npos &&
      (separators.find(path[1]) != std::string_view::npos || path[1] == '?') && path[2] == '?' &&
      separators.find(path[3]) != std::string_view::npos && StartsWithDrive(path.substr(4));
  // Several separators in a row count as one: "a//b" is in "a". So the folder ends where the last
  // run of separators starts.
  std::size_t end = std::string_view::npos;
  bool inRun = false;
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t length = codePage.CharacterLength(path, at);
    const bool separator = length == 1 && separators.find(path[at]) != std::string_view::npos;
    if (separator && !inRun) {
      end = at;
    }
    inRun = separator;
    at += length;
  }
  if (end == std::string_view::npos) {
    return hasDrive ? std::string(path.substr(0, 2)) : std::string();
  }
  const bool isRoot = end == 0 || (hasDrive && end == 2) || (verbatimDrive && end == 6);
  return std::string(path.substr(0, isRoot ? end + 1 : end));
}

std::string FolderToCreateIn(std::string_view path, const PathForm& form,
                             const CodePage& codePage) {
  std::string folder = ParentFolderOf(path, form, codePage);
  return folder.empty() ? "." : folder;
}

std::string NameOf(std::string_view path, const PathForm& form, const CodePage& codePage) {
  return FileTitleOf(path, ParentFolderOf(path, form, codePage), form.separators.front());
}

std::string FileTitleOf(std::string_view path, std::string_view folder, char separator) {
  std::size_t start = path.substr(0, folder.size()) == folder ? folder.size() : 0;
  // What follows the folder starts on a whole character, so a separator there is one.
  while (start < path.size() && (path[start] == separator || path[start] == '/')) {
    ++start;
  }
  return std::string(path.substr(start));
}

bool NamesAnEntry(std::string_view name) {
  return !name.empty() && name != "." && name != "..";
}

std::string ListedNameOf(const std::string& given, const std::vector<std::string>& listed,
                         const std::function<bool(const std::string&)>& isGiven) {
  for (const std::string& name : listed) {
    if (name == given) {
      return given;
    }
  }
  for (const std::string& name : listed) {
    if (isGiven(name)) {
      return name;
    }
  }
  return given;
}

std::string JoinPath(std::string_view folder, char separator, std::string_view name,
                     const CodePage& codePage) {
  std::string joined(folder);
  const std::vector<std::size_t> starts = CharacterStarts(folder, codePage);
  // The last byte may be the second half of a character rather than a separator.
  const bool endsInSeparator =
      !starts.empty() && starts.back() == folder.size() - 1 && folder.back() == separator;
  if (!folder.empty() && !endsInSeparator) {
    joined += separator;
  }
  joined += name;
  return joined;
}

std::string DefaultDestinationName(std::string_view sourceTitle, const CodePage& codePage) {
  const std::vector<std::size_t> starts = CharacterStarts(sourceTitle, codePage);
  if (starts.size() < 4) {
    throw ConversionFailure("invalid argument: the old file's name \"" + std::string(sourceTitle) +
                            "\" is shorter than four characters");
  }
  std::string name = "migrated.";
  name += sourceTitle.substr(0, starts[starts.size() - 4]);
  name += ".qnf";
  return name;
}

std::string NamesBesideTooLong(std::size_t nameLength, std::size_t pathLength, std::size_t added,
                               const NameLimits& limits) {
  const auto tooLong = [&](const char* what, std::size_t needed, std::size_t limit) {
    return std::string("its ") + what + " is too long for the files made beside it (" +
           std::to_string(needed) + " " + limits.unit + "; at most " + std::to_string(limit) +
           " here)";
  };
  if (limits.longestName > 0 && nameLength + added > limits.longestName) {
    return tooLong("name", nameLength + added, limits.longestName);
  }
  if (limits.longestPath > 0 && pathLength + added > limits.longestPath) {
    return tooLong("path", pathLength + added, limits.longestPath);
  }
  return "";
}

}  // namespace shiftlet
