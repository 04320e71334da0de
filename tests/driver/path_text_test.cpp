#include "driver/path_text.h"

#include <gtest/gtest.h>

#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

const CodePage kBytes;

// Shaped like code page 932: lead bytes 81-9F and E0-FC. In it 表 is 95 5C, ソ is 83 5C and 亜 is
// 88 9F; the first two end in the byte of '\'.
CodePage Cp932Like() {
  CodePage codePage;
  codePage.AddLeadBytes(0x81, 0x9F);
  codePage.AddLeadBytes(0xE0, 0xFC);
  return codePage;
}
const CodePage kDoubleByte = Cp932Like();
#define HYO "\x95\x5c"
#define SO "\x83\x5c"
#define AJ "\x88\x9f"

TEST(PathTextTest, CharacterLengthFollowsTheLeadBytes) {
  EXPECT_EQ(2U, kDoubleByte.CharacterLength(HYO "x", 0));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength(HYO "x", 1));  // asked mid-character: a byte
  EXPECT_EQ(1U, kDoubleByte.CharacterLength(HYO "x", 2));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("x\x95", 1));     // a lead byte with nothing after it
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("\xa0\x5c", 0));  // half-width katakana: one byte
  EXPECT_EQ(2U, kDoubleByte.CharacterLength("\xfc\x5c", 0));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("\xfd\x5c", 0));
  EXPECT_EQ(1U, kBytes.CharacterLength(HYO, 0));
}

TEST(PathTextTest, ParentFolderOnPosixPaths) {
  EXPECT_EQ("/home/ann/velmora", ParentFolderOf("/home/ann/velmora/menu.qnf", "/", false, kBytes));
  EXPECT_EQ("/", ParentFolderOf("/menu.qnf", "/", false, kBytes));
  EXPECT_EQ("/a", ParentFolderOf("/a//menu.qnf", "/", false, kBytes));
  EXPECT_EQ("a", ParentFolderOf("a/menu.qnf", "/", false, kBytes));
  EXPECT_EQ("", ParentFolderOf("menu.qnf", "/", false, kBytes));
  EXPECT_EQ("", ParentFolderOf("", "/", false, kBytes));
  // A backslash is an ordinary character here.
  EXPECT_EQ("", ParentFolderOf("C:\\menu.qnf", "/", false, kBytes));
}

TEST(PathTextTest, ParentFolderOnWindowsPaths) {
  EXPECT_EQ("C:\\Program Files\\Velmora",
            ParentFolderOf("C:\\Program Files\\Velmora\\menu.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:/", ParentFolderOf("C:/x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:\\a/b", ParentFolderOf("C:\\a/b\\x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:\\a", ParentFolderOf("C:\\a\\\\x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\\\x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("\\\\server\\share", ParentFolderOf("\\\\server\\share\\x.qnf", "\\/", true, kBytes));
  EXPECT_EQ("C:", ParentFolderOf("C:x.qnf", "\\/", true, kBytes));
  // Read as bytes, a double-byte name splits in the middle of its characters.
  EXPECT_EQ("C:\\V\\migrated.\x95",
            ParentFolderOf("C:\\V\\migrated." HYO ".qnf", "\\/", true, kBytes));
}

TEST(PathTextTest, ParentFolderReadsDoubleByteCharactersWhole) {
  EXPECT_EQ(
      "C:\\Program Files\\Velmora",
      ParentFolderOf("C:\\Program Files\\Velmora\\migrated." HYO ".qnf", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:\\" HYO, ParentFolderOf("C:\\" HYO "\\" SO ".qnf", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:\\" SO "\\" HYO,
            ParentFolderOf("C:\\" SO "\\" HYO "\\\\" AJ ".qnf", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\" HYO SO ".qnf", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:/" AJ, ParentFolderOf("C:/" AJ "/" HYO, "\\/", true, kDoubleByte));
  EXPECT_EQ("", ParentFolderOf(HYO SO ".qnf", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:", ParentFolderOf("C:" HYO ".qnf", "\\/", true, kDoubleByte));
  // 95 then 5C is 表, not a byte and a separator; a lead byte at the very end is a byte.
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\a\x95\\", "\\/", true, kDoubleByte));
  EXPECT_EQ("C:\\a", ParentFolderOf("C:\\a\\\x95", "\\/", true, kDoubleByte));
}

TEST(PathTextTest, JoinPathAddsOneSeparator) {
  EXPECT_EQ("/a/default.qcf", JoinPath("/a", '/', "default.qcf", kBytes));
  EXPECT_EQ("/default.qcf", JoinPath("/", '/', "default.qcf", kBytes));
  EXPECT_EQ("C:\\Velmora\\default.qcf", JoinPath("C:\\Velmora", '\\', "default.qcf", kBytes));
  EXPECT_EQ("C:\\default.qcf", JoinPath("C:\\", '\\', "default.qcf", kBytes));
  EXPECT_EQ("default.qcf", JoinPath("", '/', "default.qcf", kBytes));
  // A folder whose last character ends in the byte of '\' still needs one.
  EXPECT_EQ("C:\\" HYO "\\default.qcf", JoinPath("C:\\" HYO, '\\', "default.qcf", kDoubleByte));
  EXPECT_EQ("C:\\" AJ SO "\\default.qcf", JoinPath("C:\\" AJ SO, '\\', "default.qcf", kDoubleByte));
  EXPECT_EQ("C:\\" HYO "\\default.qcf",
            JoinPath("C:\\" HYO "\\", '\\', "default.qcf", kDoubleByte));
  EXPECT_EQ("C:\\default.qcf", JoinPath("C:\\", '\\', "default.qcf", kDoubleByte));
  EXPECT_EQ(SO "\\" HYO, JoinPath(SO, '\\', HYO, kDoubleByte));
}

TEST(PathTextTest, DefaultDestinationCutsExactlyFourCharacters) {
  EXPECT_EQ("migrated.menu.qnf", DefaultDestinationName("menu.qof", kBytes));
  EXPECT_EQ("migrated.old..qnf", DefaultDestinationName("old.menu", kBytes));  // any extension
  EXPECT_EQ("migrated.m.qnf", DefaultDestinationName("m.qof", kBytes));
  EXPECT_EQ("migrated..qnf", DefaultDestinationName(".qof", kBytes));
  EXPECT_EQ("migrated.men\xfc.qnf", DefaultDestinationName("men\xfc.qof", kBytes));
  EXPECT_THROW(DefaultDestinationName("a.b", kBytes), ConversionFailure);
  EXPECT_THROW(DefaultDestinationName("", kBytes), ConversionFailure);
}

TEST(PathTextTest, DefaultDestinationCountsDoubleByteCharacters) {
  EXPECT_EQ("migrated." HYO ".qnf", DefaultDestinationName(HYO ".qof", kDoubleByte));
  EXPECT_EQ("migrated.menu.qnf", DefaultDestinationName("menu.qof", kDoubleByte));
  // Four characters cut from the end, each whole: two bytes of one, one of another.
  EXPECT_EQ("migrated." HYO ".qnf", DefaultDestinationName(HYO "." SO AJ "x", kDoubleByte));
  EXPECT_EQ("migrated.a.qnf", DefaultDestinationName("a" HYO SO AJ "b", kDoubleByte));
  EXPECT_EQ("migrated..qnf", DefaultDestinationName(HYO SO AJ "x", kDoubleByte));
  // Three characters are fewer than four, though six bytes.
  EXPECT_THROW(DefaultDestinationName(HYO SO AJ, kDoubleByte), ConversionFailure);
  EXPECT_THROW(DefaultDestinationName("a" HYO, kDoubleByte), ConversionFailure);
  // The same bytes in a single-byte code page are six characters.
  EXPECT_EQ("migrated." HYO ".qnf", DefaultDestinationName(HYO SO AJ, kBytes));
}

}  // namespace
}  // namespace shiftlet
