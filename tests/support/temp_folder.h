#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace shiftlet::testing {

// A new, empty folder for one test, removed with everything in it when the test ends.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The full path of `name` in this folder, as a string for the code under test.
  std::string operator/(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Whole-file helpers in binary: no byte is translated.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
// The names of the entries in `folder`, sorted.
std::string ListFolder(const std::filesystem::path& folder);

}  // namespace shiftlet::testing
