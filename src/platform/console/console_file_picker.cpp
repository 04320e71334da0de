#include "platform/console/console_file_picker.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/console/console_message_boxes.h"

namespace shiftlet {

namespace fs = std::filesystem;

fs::path ShownFolder(const std::string& initDir) {
  std::error_code error;
  fs::path folder = initDir;
  if (initDir.empty() || !fs::is_directory(folder, error)) {
    folder = fs::current_path();
  }
  return fs::absolute(folder);
}

void ConsoleFilePicker::ShowOpen() {
  const fs::path folder = ShownFolder(InitDir);
  const fs::path proposed = (folder / filename).lexically_normal();

  const std::size_t bar = Filter.find('|');
  const std::string description = Filter.substr(0, bar);
  const std::string pattern = bar == std::string::npos ? std::string() : Filter.substr(bar + 1);
  out_ << "\n[" << DialogTitle << "]\n"
       << "Files of type: " << description << " (" << pattern << ")\n"
       << "Folder: " << folder.string() << '\n'
       << "File name [" << proposed.string() << "]: " << std::flush;

  std::string answer;
  if (!ReadAnswerLine(in_, answer)) {
    out_ << '\n';
    filename.clear();
    FileTitle.clear();
    return;
  }
  const fs::path chosen = answer.empty() ? proposed : (folder / answer).lexically_normal();
  filename = chosen.string();
  FileTitle = chosen.filename().string();
}

}  // namespace shiftlet
