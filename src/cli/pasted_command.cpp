#include "cli/pasted_command.h"

#include <string_view>

#include "paths/shown_text.h"

namespace shiftlet {

namespace {

// shlex.quote's safe characters: \w in ASCII, and @%+=:,./-
bool SafeUnquotedForSh(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_@%+=:,./-").find(c) != std::string_view::npos;
}

std::string QuotedForSh(const std::string& path) {
  bool plain = !path.empty();
  for (const char c : path) {
    plain = plain && SafeUnquotedForSh(c);
  }
  if (plain) {
    return path;
  }
  std::string quoted = "'";
  for (const char c : path) {
    quoted += c == '\'' ? std::string("'\"'\"'") : std::string(1, c);
  }
  return quoted + "'";
}

// Whether a command naming `path` can be pasted as it is shown: the screen shows a control
// character escaped, and the escaped text pasted names another file.
bool ShownAsItIs(const std::string& path, const CodePage& codePage) {
  return ShownText(path, codePage) == path;
}

// Whether both cmd and PowerShell keep `path` as it is between double quotes.
bool SafeInDoubleQuotesForCmdAndPowerShell(std::string_view path, const CodePage& codePage) {
  if (path.empty()) {
    return false;
  }
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t length = codePage.CharacterLength(path, at);
    const std::string_view character = path.substr(at, length);
    if ((length == 1 &&
         std::string_view("$`%!'\"").find(character.front()) != std::string_view::npos) ||
        codePage.IsTypographicQuote(character)) {
      return false;
    }
    at += length;
  }
  return true;
}

}  // namespace

PastedCommand BuildPastedCommand(const std::string& program, const std::vector<CommandFile>& files,
                                 const PathForm& form, const CodePage& codePage) {
  // Paths with drives are Windows': the shells there are cmd and PowerShell.
  const bool windows = form.driveLetters;
  PastedCommand command{program, ""};
  for (const CommandFile& file : files) {
    command.text += " " + file.option + " ";
    const bool pastable = ShownAsItIs(file.path, codePage) &&
                          (!windows || SafeInDoubleQuotesForCmdAndPowerShell(file.path, codePage));
    if (!pastable) {
      command.text += file.placeholder;
      command.note +=
          (command.note.empty() ? "where " : " and ") + file.placeholder + " is " + file.path;
    } else {
      command.text += windows ? "\"" + file.path + "\"" : QuotedForSh(file.path);
    }
  }
  return command;
}

}  // namespace shiftlet
