// The dry run keeps its writes in memory and tells files apart as the system does: a file it has
// put in place is found again under every name of it, and under no other.

#include "platform/dry_run/dry_run_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "driver/scripted_platform.h"
#include "platform/system_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"
#include "textfile/line_writer.h"

namespace shiftlet {
namespace {

using testing::ListFolder;
using testing::ScriptedPlatform;
using testing::TempFolder;

std::string ReadWhole(FileLayer& files, const std::string& path) {
  auto file = files.OpenForReading(path);
  std::string bytes(file->SizeHint(), '\0');
  bytes.resize(file->Read(bytes.data(), bytes.size()));
  return bytes;
}

TEST(DryRunPlatformTest, AFileWrittenIsFoundUnderEveryNameOfIt) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "sub");
  const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
  ScriptedPlatform scripted(*system);
  DryRunPlatform dryRun(scripted);
  LineWriter writer(dryRun.Files(), folder / "x.qnf");
  writer.WriteLine({std::string_view("70")});
  writer.Close();

  const auto fileSystem = dryRun.CreateFileSystemObject();
  for (const std::string& name : {folder / "x.qnf", folder / "./x.qnf", folder / "sub/../x.qnf"}) {
    EXPECT_EQ("70\r\n", ReadWhole(dryRun.Files(), name)) << name;
    EXPECT_TRUE(fileSystem->FileExists(name)) << name;
  }
  EXPECT_FALSE(fileSystem->FileExists(folder / "sub/x.qnf"));
  EXPECT_THROW(dryRun.Files().OpenForReading(folder / "sub/x.qnf"), ConversionFailure);
  EXPECT_EQ("sub", ListFolder(folder.Path()));
}

}  // namespace
}  // namespace shiftlet
