#include "platform/console/console_platform.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "paths/path_text.h"
#include "platform/system_file_layer.h"

namespace shiftlet {

namespace fs = std::filesystem;

std::string PosixConsolePaths::ShownFolder(const std::string& initDir) {
  std::error_code error;
  fs::path folder = initDir;
  if (initDir.empty() || !fs::is_directory(folder, error)) {
    folder = fs::current_path();
  }
  return fs::absolute(folder).string();
}

std::string PosixConsolePaths::Resolve(const std::string& folder, const std::string& path) {
  if (path.empty()) {
    return path;
  }
  // An absolute `path` replaces the folder; ".." is taken from the text, as Windows does.
  const fs::path full = folder.empty() ? fs::absolute(path) : fs::path(folder) / path;
  return full.lexically_normal().string();
}

std::unique_ptr<FileSystemObject> PosixConsolePaths::CreateFileSystemObject() {
  return std::make_unique<ConsoleFileSystemObject>(codePage_);
}

ConsolePlatform::ConsolePlatform(std::istream& in, std::ostream& out,
                                 std::unique_ptr<ConsolePaths> paths)
    : in_(in),
      out_(out),
      boxes_(in, out),
      paths_(std::move(paths)),
      files_(MakeSystemFileLayer(paths_->NameCodePage())) {}

ConsolePlatform::~ConsolePlatform() = default;

FilePicker& ConsolePlatform::Picker() {
  if (!picker_) {
    picker_.emplace(in_, out_, *paths_);
  }
  return *picker_;
}

std::string ConsolePlatform::ProposedPath(const std::string& initDir, const std::string& name) {
  return paths_->Resolve(paths_->ShownFolder(initDir), name);
}

std::string ConsolePlatform::FullPath(const std::string& path) {
  return paths_->Resolve("", path);
}

std::unique_ptr<FileSystemObject> ConsolePlatform::CreateFileSystemObject() {
  return paths_->CreateFileSystemObject();
}

std::string ConsoleFileSystemObject::GetParentFolderName(const std::string& path) {
  return ParentFolderOf(path, kPosixPaths, codePage_);
}

bool ConsoleFileSystemObject::FileExists(const std::string& path) {
  // A device, pipe or socket counts, so that reading it refuses it with its reason rather than the
  // run passing it by as if there were no configuration.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace shiftlet
