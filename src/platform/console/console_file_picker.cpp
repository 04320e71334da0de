#include "platform/console/console_file_picker.h"

#include <memory>
#include <string>

#include "paths/path_text.h"
#include "paths/shown_text.h"
#include "platform/console/console_message_boxes.h"

namespace shiftlet {

void ConsoleFilePicker::ShowOpen() {
  const std::string folder = paths_.ShownFolder(InitDir);
  const std::string proposed = paths_.Resolve(folder, filename);

  const std::size_t bar = Filter.find('|');
  const std::string description = Filter.substr(0, bar);
  const std::string pattern = bar == std::string::npos ? std::string() : Filter.substr(bar + 1);
  out_ << "\n[" << DialogTitle << "]\n"
       << "Files of type: " << description << " (" << pattern << ")\n"
       << "Folder: " << ShownText(folder, paths_.NameCodePage()) << '\n'
       << "File name [" << ShownText(proposed, paths_.NameCodePage()) << "]: " << std::flush;

  std::string answer;
  if (!ReadAnswerLine(in_, answer)) {
    out_ << '\n';
    filename.clear();
    FileTitle.clear();
    return;
  }
  filename = answer.empty() ? proposed : paths_.Resolve(folder, answer);
  const std::unique_ptr<FileSystemObject> fileSystem = paths_.CreateFileSystemObject();
  FileTitle = FileTitleIn(*fileSystem, filename, paths_.Separator());
}

}  // namespace shiftlet
