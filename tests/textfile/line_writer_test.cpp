#include "textfile/line_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/system_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

using testing::ListFolder;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class LineWriterTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
};

TEST_F(LineWriterTest, ItemsAreJoinedAsTheyAreThenCrLf) {
  const std::string path = folder_ / "out.qnf";
  LineWriter writer(*files_, path);
  writer.WriteLine({"n,", std::int16_t{0}, ",", std::int16_t{-1}});
  writer.WriteLine({"\"quoted\", kept", std::int16_t{32767}});
  writer.WriteLine({""});
  writer.WriteLine({std::int16_t{-32768}, std::int16_t{12}});
  writer.Close();
  EXPECT_EQ(
      "n, 0 ,-1 \r\n"
      "\"quoted\", kept 32767 \r\n"
      "\r\n"
      "-32768  12 \r\n",
      ReadBytes(path));
}

TEST_F(LineWriterTest, NothingAppearsBeforeClose) {
  const std::string path = folder_ / "out.qnf";
  {
    LineWriter writer(*files_, path);
    writer.WriteLine({"70"});
    EXPECT_FALSE(std::filesystem::exists(path));
    // Abandoned without Close(), as when a later line fails.
  }
  EXPECT_EQ("", ListFolder(folder_.Path()));

  WriteBytes(path, "old content");
  {
    LineWriter writer(*files_, path);
    writer.WriteLine({"new"});
  }
  EXPECT_EQ("old content", ReadBytes(path));
  EXPECT_EQ("out.qnf", ListFolder(folder_.Path()));
}

TEST_F(LineWriterTest, CloseReplacesAnExistingFileWhole) {
  const std::string path = folder_ / "default.qcf";
  WriteBytes(path, "a much longer old content that must not survive in part\r\n");
  LineWriter writer(*files_, path);
  writer.WriteLine({"short"});
  writer.Close();
  EXPECT_EQ("short\r\n", ReadBytes(path));
  EXPECT_EQ("default.qcf", ListFolder(folder_.Path()));
  EXPECT_THROW(writer.WriteLine({"late"}), ConversionFailure);
}

TEST_F(LineWriterTest, LargeOutputIsWrittenCompletely) {
  const std::string path = folder_ / "big.qnf";
  LineWriter writer(*files_, path);
  std::string expected;
  const std::string text(100, 'q');
  for (std::int16_t i = 0; i < 3000; ++i) {
    writer.WriteLine({text, i});
    expected += text + " " + std::to_string(i) + " \r\n";
  }
  writer.Close();
  EXPECT_EQ(expected, ReadBytes(path));
}

}  // namespace
}  // namespace shiftlet
