#include "platform/console/console_platform.h"

#include <filesystem>
#include <system_error>

#include "driver/path_text.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

ConsolePlatform::ConsolePlatform(std::istream& in, std::ostream& out)
    : in_(in), out_(out), boxes_(in, out), files_(MakeSystemFileLayer()) {}

ConsolePlatform::~ConsolePlatform() = default;

FilePicker& ConsolePlatform::Picker() {
  if (!picker_) {
    picker_.emplace(in_, out_);
  }
  return *picker_;
}

std::unique_ptr<FileSystemObject> ConsolePlatform::CreateFileSystemObject() {
  return std::make_unique<ConsoleFileSystemObject>();
}

std::string ConsoleFileSystemObject::GetParentFolderName(const std::string& path) {
  return ParentFolderOf(path, "/", false, CodePage());
}

bool ConsoleFileSystemObject::FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace shiftlet
