#include "cli/pasted_command.h"

#include <string_view>

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

// Whether both cmd and PowerShell keep `path` as it is between double quotes.
bool SafeInDoubleQuotesForCmdAndPowerShell(std::string_view path, const CodePage& codePage) {
  if (path.empty()) {
    return false;
  }
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t length = codePage.CharacterLength(path, at);
    const std::string_view character = path.substr(at, length);
    const auto byte = static_cast<unsigned char>(character.front());
    const bool c1 = length == 2 && codePage.IsUtf8() && byte == 0xC2 &&
                    static_cast<unsigned char>(character[1]) <= 0x9F;
    if ((length == 1 &&
         (byte < 0x20 || byte == 0x7F ||
          std::string_view("$`%!'\"").find(character.front()) != std::string_view::npos)) ||
        c1 || codePage.IsTypographicQuote(character)) {
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
    if (!windows) {
      command.text += QuotedForSh(file.path);
    } else if (SafeInDoubleQuotesForCmdAndPowerShell(file.path, codePage)) {
      command.text += "\"" + file.path + "\"";
    } else {
      command.text += file.placeholder;
      command.note +=
          (command.note.empty() ? "where " : " and ") + file.placeholder + " is " + file.path;
    }
  }
  return command;
}

}  // namespace shiftlet
