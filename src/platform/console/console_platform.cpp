#include "platform/console/console_platform.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "driver/path_text.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

ConsolePlatform::ConsolePlatform(std::istream& in, std::ostream& out, ConsolePaths paths)
    : in_(in),
      out_(out),
      boxes_(in, out),
      files_(MakeSystemFileLayer()),
      paths_(std::move(paths)) {}

ConsolePlatform::~ConsolePlatform() = default;

FilePicker& ConsolePlatform::Picker() {
  if (!picker_) {
    picker_.emplace(in_, out_);
  }
  return *picker_;
}

std::string ConsolePlatform::ProposedPath(const std::string& initDir, const std::string& name) {
  return (ShownFolder(initDir) / name).lexically_normal().string();
}

std::unique_ptr<FileSystemObject> ConsolePlatform::CreateFileSystemObject() {
  if (paths_.makeFileSystem) {
    return paths_.makeFileSystem();
  }
  return std::make_unique<ConsoleFileSystemObject>();
}

std::string ConsoleFileSystemObject::GetParentFolderName(const std::string& path) {
  return ParentFolderOf(path, "/", false, CodePage());
}

bool ConsoleFileSystemObject::FileExists(const std::string& path) {
  // A device, pipe or socket counts, so that reading it refuses it with its reason rather than the
  // run passing it by as if there were no configuration.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace shiftlet
