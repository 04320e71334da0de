#include "driver/path_text.h"

#include <gtest/gtest.h>

#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

TEST(PathTextTest, ParentFolderOnPosixPaths) {
  EXPECT_EQ("/home/ann/velmora", ParentFolderOf("/home/ann/velmora/menu.qnf", "/", false));
  EXPECT_EQ("/", ParentFolderOf("/menu.qnf", "/", false));
  EXPECT_EQ("/a", ParentFolderOf("/a//menu.qnf", "/", false));
  EXPECT_EQ("a", ParentFolderOf("a/menu.qnf", "/", false));
  EXPECT_EQ("", ParentFolderOf("menu.qnf", "/", false));
  EXPECT_EQ("", ParentFolderOf("", "/", false));
  // A backslash is an ordinary character here.
  EXPECT_EQ("", ParentFolderOf("C:\\menu.qnf", "/", false));
}

TEST(PathTextTest, ParentFolderOnWindowsPaths) {
  EXPECT_EQ("C:\\Program Files\\Velmora",
            ParentFolderOf("C:\\Program Files\\Velmora\\menu.qnf", "\\/", true));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\x.qnf", "\\/", true));
  EXPECT_EQ("C:/", ParentFolderOf("C:/x.qnf", "\\/", true));
  EXPECT_EQ("C:\\a/b", ParentFolderOf("C:\\a/b\\x.qnf", "\\/", true));
  EXPECT_EQ("\\\\server\\share", ParentFolderOf("\\\\server\\share\\x.qnf", "\\/", true));
  EXPECT_EQ("C:", ParentFolderOf("C:x.qnf", "\\/", true));
}

TEST(PathTextTest, JoinPathAddsOneSeparator) {
  EXPECT_EQ("/a/default.qcf", JoinPath("/a", '/', "default.qcf"));
  EXPECT_EQ("/default.qcf", JoinPath("/", '/', "default.qcf"));
  EXPECT_EQ("C:\\Velmora\\default.qcf", JoinPath("C:\\Velmora", '\\', "default.qcf"));
  EXPECT_EQ("C:\\default.qcf", JoinPath("C:\\", '\\', "default.qcf"));
  EXPECT_EQ("default.qcf", JoinPath("", '/', "default.qcf"));
}

TEST(PathTextTest, DefaultDestinationCutsExactlyFourCharacters) {
  EXPECT_EQ("migrated.menu.qnf", DefaultDestinationName("menu.qof"));
  EXPECT_EQ("migrated.old..qnf", DefaultDestinationName("old.menu"));  // whatever the extension
  EXPECT_EQ("migrated.m.qnf", DefaultDestinationName("m.qof"));
  EXPECT_EQ("migrated..qnf", DefaultDestinationName(".qof"));
  EXPECT_EQ("migrated.men\xfc.qnf", DefaultDestinationName("men\xfc.qof"));
  EXPECT_THROW(DefaultDestinationName("a.b"), ConversionFailure);
  EXPECT_THROW(DefaultDestinationName(""), ConversionFailure);
}

}  // namespace
}  // namespace shiftlet
