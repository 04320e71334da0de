#pragma once

#include <string>
#include <vector>

#include "paths/code_page.h"
#include "paths/path_text.h"

namespace shiftlet {

// A file a shown command takes: the option before it, its path, and the word that stands in the
// command for a path no quoting makes safe to paste ("OLD_MENU_FILE").
struct CommandFile {
  std::string option;
  std::string path;
  std::string placeholder;
};

// A command shown for a person to paste: `text` runs only the program, with its options and files,
// when pasted as it is; `note` is "" or says which file to give in place of each placeholder
// ("where OLD_MENU_FILE is C:\v\m$x.qof"), to be shown beside the command, never in it.
struct PastedCommand {
  std::string text;
  std::string note;
};

// The one builder of every command the program shows: `program` (a plain name) and each file,
// quoted for the shells of the system whose paths are in `form`, read by characters of `codePage`:
// - POSIX paths, for sh and bash: as Python's shlex.quote quotes them (as it is when every byte is
//   a letter, a digit or one of @%+=:,./-_; else between single quotes, a ' written '"'"').
// - Windows paths, for cmd and PowerShell alike: between double quotes, where both shells keep a
//   name as it is unless it holds $ ` % ! ' " or a typographic quote PowerShell reads as a quote.
//   Single quotes would stop PowerShell but not cmd, and cmd has no quoting that stops %VAR%.
// Such a name, and in either form one holding a control character (which ShownText escapes, so
// that the text pasted would name another file), is left out of the command, its placeholder put
// in its place and the name in the note.
PastedCommand BuildPastedCommand(const std::string& program, const std::vector<CommandFile>& files,
                                 const PathForm& form, const CodePage& codePage);

}  // namespace shiftlet
