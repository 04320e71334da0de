// The dry run keeps its writes in memory and tells files apart as the system does: a file it has
// put in place is found again under every name of it, and under no other.

#include "platform/dry_run/dry_run_platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
using testing::ReadBytes;
using testing::ScriptedPlatform;
using testing::TempFolder;
using testing::WriteBytes;

std::string ReadWhole(FileLayer& files, const std::string& path) {
  auto file = files.OpenForReading(path);
  std::string bytes(static_cast<std::size_t>(file->SizeHint()), '\0');
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

  // A removal fails where the real one would: of nothing, or of what this run removed already.
  EXPECT_THROW(dryRun.Files().Remove(folder / "sub/x.qnf"), ConversionFailure);
  dryRun.Files().Remove(folder / "sub/../x.qnf");
  EXPECT_FALSE(fileSystem->FileExists(folder / "x.qnf"));
  EXPECT_THROW(dryRun.Files().Remove(folder / "x.qnf"), ConversionFailure);
  EXPECT_EQ("sub", ListFolder(folder.Path()));
}

// Why writing `path` again fails (empty when it does not) after a file was written there.
std::string SecondWriteRefused(FileLayer& files, const std::string& path) {
  LineWriter writer(files, path);
  writer.WriteLine({std::string_view("70")});
  writer.Close();
  try {
    files.CheckWritableInPlace(path);
  } catch (const ConversionFailure& failure) {
    return failure.what();
  }
  return "";
}

// A file the run has written in memory is asked about as the real run meets it on the disk: the
// file it put there, not what is there now (nothing, or a link the replace put the file in place
// of).
TEST(DryRunPlatformTest, AFileWrittenIsAskedAboutAsTheRealRunMeetsIt) {
  TempFolder folder;
  const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
#ifdef _WIN32
  // Created beside its temporary name (13 more characters) within MAX_PATH, then replaced beside
  // its backup name (17 more): written once, but not twice.
  const std::string name = std::string(243 - (folder / "").size() - 4, 'n') + ".qcf";
  const std::string expected = "its path is too long for the files made beside it";
#else
  // A new file gets 0666 less the umask: none of it writable here.
  const mode_t mask = ::umask(0222);
  const std::string name = "default.qcf";
  const std::string expected = "Permission denied";
#endif
  const struct {
    const char* what;
    bool link;
  } cases[] = {{"nothing there", false}, {"a link there, to nothing", true}};
  std::string skipped;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto setUp = [&] {
      std::filesystem::remove(folder / name);
      if (c.link) {
        std::filesystem::create_symlink(folder / "nothing", folder / name);
      }
    };
    try {
      setUp();
    } catch (const std::filesystem::filesystem_error& error) {
      skipped = std::string(c.what) + ": cannot make a link here (" + error.what() + ")";
      continue;  // Wine makes none
    }
    const std::string real = SecondWriteRefused(*system, folder / name);
    setUp();
    ScriptedPlatform scripted(*system);
    DryRunPlatform dryRun(scripted);
    const std::string dry = SecondWriteRefused(dryRun.Files(), folder / name);
    EXPECT_NE(std::string::npos, real.find(expected)) << real;
    EXPECT_EQ(real, dry);
    std::filesystem::remove(folder / name);
    EXPECT_EQ("", ListFolder(folder.Path()));
  }
#ifndef _WIN32
  ::umask(mask);
#endif
  if (!skipped.empty()) {
    GTEST_SKIP() << "not run: " << skipped;
  }
}

// Whether a name is a link itself, as the system says and the dry run after it: what a run asks
// before it copies or rewrites a file through that name.
TEST(DryRunPlatformTest, ALinkIsOneToTheSystemAndToTheDryRun) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "sub");
  WriteBytes(folder / "file.qcf", "x");
  const struct {
    const char* name;
    const char* leadsTo;  // made a link to this, when not null
  } cases[] = {{"file.qcf", nullptr},
               {"sub", nullptr},
               {"missing.qcf", nullptr},
               {"to-file.qcf", "file.qcf"},
               {"to-nothing.qcf", "nothing.qcf"},
               {"to-folder", "sub"}};
  const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
  ScriptedPlatform scripted(*system);
  DryRunPlatform dryRun(scripted);
  std::string skipped;
  for (const auto& c : cases) {
    const std::filesystem::path path = folder.Path() / c.name;
    if (c.leadsTo != nullptr) {
      std::error_code error;
      std::filesystem::create_symlink(folder.Path() / c.leadsTo, path, error);
      if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        skipped = "this system made no link";  // Wine makes none
        continue;
      }
    }
    EXPECT_EQ(c.leadsTo != nullptr, system->IsLink(path.string())) << c.name;
    EXPECT_EQ(c.leadsTo != nullptr, dryRun.Files().IsLink(path.string())) << c.name;
  }
  if (!skipped.empty()) {
    GTEST_SKIP() << "links not asked about: " << skipped;
  }
}

// What an undo removes is the file it asked about: a file put in its place since stays, in the
// dry run as on the disk.
TEST(DryRunPlatformTest, OnlyTheFileAskedAboutIsRemoved) {
  TempFolder folder;
  const std::string path = folder / "migrated.menu.qnf";
  WriteBytes(path, "converted");
  const std::unique_ptr<FileLayer> system = MakeSystemFileLayer();
  ScriptedPlatform scripted(*system);
  DryRunPlatform dryRun(scripted);
  const std::string asked = system->FileIdOf(path);
  ASSERT_NE("", asked);
  EXPECT_EQ(asked, dryRun.Files().FileIdOf(path));
  // Renamed over it while the old one still exists, so that it cannot be given the same number.
  WriteBytes(folder / "own.tmp", "someone's own");
  std::filesystem::rename(folder / "own.tmp", path);
  for (FileLayer* files : {system.get(), &dryRun.Files()}) {
    try {
      files->RemoveIfStill(path, asked);
      ADD_FAILURE() << "a file put there since was removed";
    } catch (const ConversionFailure& failure) {
      EXPECT_EQ(ChangedSinceCheckedReason(path), failure.Reason());
    }
  }
  EXPECT_EQ("someone's own", ReadBytes(path));
  dryRun.Files().RemoveIfStill(path, system->FileIdOf(path));
  EXPECT_FALSE(dryRun.CreateFileSystemObject()->FileExists(path));
  system->RemoveIfStill(path, system->FileIdOf(path));
  EXPECT_EQ("", ListFolder(folder.Path()));
  EXPECT_EQ("", system->FileIdOf(path));
  std::filesystem::create_directory(folder.Path() / "sub");
  EXPECT_THROW(system->Remove(folder / "sub"), ConversionFailure);  // a folder is no file
  EXPECT_EQ("sub", ListFolder(folder.Path()));
}

}  // namespace
}  // namespace shiftlet
