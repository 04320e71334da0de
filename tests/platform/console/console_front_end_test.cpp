#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/console/console_file_picker.h"
#include "platform/console/console_message_boxes.h"
#include "platform/console/console_platform.h"
#include "support/temp_folder.h"

namespace shiftlet {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

TEST(ConsoleMessageBoxesTest, AnswersToQuestions) {
  std::istringstream in("\nY\nyes\r\nn\nNO\nmaybe\n\nok\nno\n");
  std::ostringstream out;
  ConsoleMessageBoxes boxes(in, out);
  EXPECT_TRUE(boxes.AskYesNo("q1"));  // empty line: the default, Yes
  EXPECT_TRUE(boxes.AskYesNo("q2"));
  EXPECT_TRUE(boxes.AskYesNo("q3"));  // a CRLF line end is not part of the answer
  EXPECT_FALSE(boxes.AskYesNo("q4"));
  EXPECT_FALSE(boxes.AskYesNo("q5"));
  EXPECT_TRUE(boxes.AskYesNo("q6"));   // "maybe" asks again, then the empty line
  EXPECT_FALSE(boxes.AskYesNo("q7"));  // "ok" asks again, then "no"
  EXPECT_FALSE(boxes.AskYesNo("q8"));  // end of input
  const std::string shown = out.str();
  EXPECT_NE(std::string::npos, shown.find("[Shiftlet]\nq1\n"));
  EXPECT_NE(std::string::npos, shown.find("[Shiftlet]\nq8\n"));

  // Retry only when asked for; Enter and the end of the input cancel, as a yes would not.
  std::istringstream retries("r\nRetry\r\nyes\nc\n\nCANCEL\n");
  ConsoleMessageBoxes retryBoxes(retries, out);
  EXPECT_TRUE(retryBoxes.AskRetryCancel("r1"));
  EXPECT_TRUE(retryBoxes.AskRetryCancel("r2"));
  EXPECT_FALSE(retryBoxes.AskRetryCancel("r3"));  // "yes" asks again, then "c"
  EXPECT_FALSE(retryBoxes.AskRetryCancel("r4"));  // empty line
  EXPECT_FALSE(retryBoxes.AskRetryCancel("r5"));
  EXPECT_FALSE(retryBoxes.AskRetryCancel("r6"));  // end of input
  EXPECT_NE(std::string::npos,
            out.str().find("[Shiftlet]\nr6\n[Retry/Cancel] (Enter = Cancel) \n"));
}

TEST(ConsoleMessageBoxesTest, OkShowsTheTextVerbatimAndTakesOneLine) {
  std::istringstream in("anything\n\n");
  std::ostringstream out;
  ConsoleMessageBoxes boxes(in, out);
  boxes.ShowOk("Done! :)  two  spaces");
  EXPECT_TRUE(boxes.AskYesNo("then"));  // the empty second line answers this one
  boxes.ShowOk("at the end of input");  // returns all the same
  EXPECT_NE(std::string::npos, out.str().find("[Shiftlet]\nDone! :)  two  spaces\n"));
}

class ConsoleFilePickerTest : public ::testing::Test {
 protected:
  // Shows the picker with InitDir and the proposed name, answering `answer` (no line: cancel).
  void Show(const std::string& initDir, const char* answer) {
    std::istringstream in(answer == nullptr ? "" : std::string(answer) + "\n");
    ConsoleFilePicker picker(in, out_, paths_);
    picker.Filter = "QOF file|*.qof";
    picker.InitDir = initDir;
    picker.filename = "menu.qof";
    picker.DialogTitle = "Select your source QOF file";
    picker.ShowOpen();
    filename_ = picker.filename;
    title_ = picker.FileTitle;
  }

  TempFolder folder_;
  PosixConsolePaths paths_;
  std::ostringstream out_;
  std::string filename_;
  std::string title_;
};

TEST_F(ConsoleFilePickerTest, EmptyAnswerTakesTheProposedPathInInitDir) {
  Show(folder_.Path().string(), "");
  EXPECT_EQ(folder_ / "menu.qof", filename_);
  EXPECT_EQ("menu.qof", title_);
  const std::string shown = out_.str();
  EXPECT_NE(std::string::npos, shown.find("Select your source QOF file"));
  EXPECT_NE(std::string::npos, shown.find("QOF file (*.qof)"));
  EXPECT_NE(std::string::npos, shown.find("[" + (folder_ / "menu.qof") + "]"));
}

TEST_F(ConsoleFilePickerTest, MissingInitDirShowsTheCurrentDirectory) {
  Show("C:\\Velmora\\", "");
  EXPECT_EQ((fs::current_path() / "menu.qof").lexically_normal().string(), filename_);
}

TEST_F(ConsoleFilePickerTest, TypedPathsAreTakenRelativeToTheFolderShown) {
  Show(folder_.Path().string(), "sub/old.qof");
  EXPECT_EQ(folder_ / "sub/old.qof", filename_);
  EXPECT_EQ("old.qof", title_);
  Show(folder_.Path().string(), "/elsewhere/x.qof");
  EXPECT_EQ("/elsewhere/x.qof", filename_);
  EXPECT_EQ("x.qof", title_);
}

TEST_F(ConsoleFilePickerTest, EndOfInputCancels) {
  Show(folder_.Path().string(), nullptr);
  EXPECT_EQ("", filename_);
  EXPECT_EQ("", title_);
}

TEST(ConsoleFileSystemObjectTest, FileExistsOnlyForFiles) {
  TempFolder folder;
  WriteBytes(folder / "default.qcf", "x");
  fs::create_directory(folder / "dir.qcf");
  ConsoleFileSystemObject files{CodePage()};
  EXPECT_TRUE(files.FileExists(folder / "default.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "dir.qcf"));
  EXPECT_FALSE(files.FileExists(folder / "missing.qcf"));
  EXPECT_EQ(folder.Path().string(), files.GetParentFolderName(folder / "default.qcf"));
}

}  // namespace
}  // namespace shiftlet
