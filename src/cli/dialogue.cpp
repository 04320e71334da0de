#include "cli/dialogue.h"

#include <exception>
#include <string>
#include <vector>

#include "paths/shown_text.h"

namespace shiftlet {

RunEnd RunDialogue(Platform& platform) {
  ShiftletCore core(platform);
  const RunEnd end = core.RunConversion();
  const std::vector<std::string> leftBehind = platform.Files().TakeFilesLeftBehind();
  if (end != RunEnd::kSucceeded || leftBehind.empty()) {
    return end;
  }
  std::string text = "The menu file was converted, but";
  const char* separator = " ";
  for (const std::string& sentence : leftBehind) {
    text += separator + ShownText(sentence, platform.NameCodePage());
    separator = "; and ";
  }
  try {
    platform.Boxes().ShowWarning(text + ".");
  } catch (const std::exception& error) {
    throw OutcomeNotShown(end, error.what());  // the files stand; only the telling failed
  }
  return end;
}

}  // namespace shiftlet
