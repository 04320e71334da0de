#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "paths/code_page.h"

namespace shiftlet {

// Paths and names are read by characters of `codePage`, never by bytes: in a double-byte code
// page the second byte of a character may look like a separator.

// How a system writes paths: the characters that separate folders (the first is the one put
// between a folder and a name), and whether a path may start with a drive ("C:").
struct PathForm {
  std::string_view separators;
  bool driveLetters;
};
inline constexpr PathForm kWindowsPaths{"\\/", true};
inline constexpr PathForm kPosixPaths{"/", false};

// The form of the paths whose folders and names are joined by `separator`: Windows' for '\\',
// POSIX's otherwise. A front-end says which with the separator it joins paths with.
const PathForm& PathFormJoinedBy(char separator);

// Whether `path` starts with a drive: a letter and a colon ("C:\x", "c:x.qnf").
bool StartsWithDrive(std::string_view path);

// The folder part of `path`, worked out from the text alone: everything before the last
// separator. The separator is kept only when the folder is a root: "/" for "/x.qnf", "C:\" for
// "C:\x.qnf" and "\\?\C:\" for "\\?\C:\x.qnf" (without it, "\\?\C:" is the volume itself). A path
// without a separator gives "" ("C:x.qnf" gives "C:" where paths have drives). This is the one rule
// for the folder of a path: the driver, the front-ends and the file layers all ask it.
std::string ParentFolderOf(std::string_view path, const PathForm& form, const CodePage& codePage);

// The folder a file at `path` is created in: its ParentFolderOf, or "." (the current folder) for a
// bare name.
std::string FolderToCreateIn(std::string_view path, const PathForm& form, const CodePage& codePage);

// The name of the file at `path`, without its folder.
std::string NameOf(std::string_view path, const PathForm& form, const CodePage& codePage);

// The name of the file at `path` without its folder, where `folder` is the folder part of `path`
// as the file-system object gives it: what follows the folder, less any separators ('/' or
// `separator`) between the two.
std::string FileTitleOf(std::string_view path, std::string_view folder, char separator);

// Whether `name` can name an entry of a folder: not "", nor "." or "..", which name the folder
// itself or the one above it.
bool NamesAnEntry(std::string_view name);

// Which of the names its folder lists (`listed`) a file reached as `given` has there: `given`
// itself when it is listed byte for byte (a link, or another hard link of one file, is another
// name), else the listed name that `isGiven` says the file system takes for the same entry (a
// folder that ignores case finds "default.qcf" as "DEFAULT.QCF"), else `given`. The file system's
// answer, never a rule about names, tells two names of one file apart.
std::string ListedNameOf(const std::string& given, const std::vector<std::string>& listed,
                         const std::function<bool(const std::string&)>& isGiven);

// `folder` followed by `separator` and `name`; no second separator when the folder already ends
// in one (a root), and `name` alone, in the current folder, when `folder` is empty.
std::string JoinPath(std::string_view folder, char separator, std::string_view name,
                     const CodePage& codePage);

// The name proposed for the new menu file: "migrated.", the old file's name less its last four
// characters, ".qnf" (menu.qof gives migrated.menu.qnf). Exactly four characters are cut, whatever
// the extension. Throws ConversionFailure (invalid argument) for a name shorter than four.
std::string DefaultDestinationName(std::string_view sourceTitle, const CodePage& codePage);

// The longest name and the longest path a folder's file system takes, counted as that system counts
// them (`unit`: bytes on POSIX, UTF-16 units of the text on Windows); 0 where it sets no limit or
// cannot say.
struct NameLimits {
  std::size_t longestName = 0;
  std::size_t longestPath = 0;
  const char* unit = "bytes";
};

// Why the files made beside a target, `added` units longer than it, would not fit `limits`, where
// the target's name and whole path are `nameLength` and `pathLength` long: "" when they fit. The
// target may fit where they do not, so the reason says what takes the room.
std::string NamesBesideTooLong(std::size_t nameLength, std::size_t pathLength, std::size_t added,
                               const NameLimits& limits);

}  // namespace shiftlet
