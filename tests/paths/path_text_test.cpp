#include "paths/path_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "paths/code_pages.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

const CodePage kBytes;

const CodePage kDoubleByte = testing::ShiftJis();
#define HYO "\x95\x5c"
#define SO "\x83\x5c"
#define AJ "\x88\x9f"

// UTF-8 as the system's code page. 日 is E6 97 A5, 本 E6 9C AC, € E2 82 AC, é C3 A9, and U+1F600
// F0 9F 98 80.
const CodePage kUtf8 = CodePage::Utf8();
#define NICHI "\xe6\x97\xa5"
#define HON "\xe6\x9c\xac"
#define EURO "\xe2\x82\xac"

TEST(PathTextTest, CharacterLengthFollowsTheLeadBytes) {
  EXPECT_EQ(2U, kDoubleByte.CharacterLength(HYO "x", 0));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength(HYO "x", 1));  // asked mid-character: a byte
  EXPECT_EQ(1U, kDoubleByte.CharacterLength(HYO "x", 2));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("x\x95", 1));     // a lead byte with nothing after it
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("\xa0\x5c", 0));  // half-width katakana: one byte
  EXPECT_EQ(3U, kUtf8.CharacterLength(NICHI "x", 0));
  EXPECT_EQ(1U, kUtf8.CharacterLength(NICHI "x", 1));  // asked mid-character: a byte
  EXPECT_EQ(2U, kUtf8.CharacterLength("\xc3\xa9", 0));
  EXPECT_EQ(4U, kUtf8.CharacterLength("\xf0\x9f\x98\x80", 0));
  EXPECT_EQ(1U, kUtf8.CharacterLength("x\xe6\x97", 1));         // cut short by the end
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xe6\x97\\", 0));        // cut short by a separator
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xc0\xaf", 0));          // '/' spelt long
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xe0\x80\xaf", 0));      // the same in three bytes
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xed\xa0\x80", 0));      // a UTF-16 surrogate
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xf4\x90\x80\x80", 0));  // past U+10FFFF
  EXPECT_EQ(1U, kUtf8.CharacterLength("\xf8\x88\x80\x80\x80", 0));
  EXPECT_EQ(1U, kUtf8.CharacterLength("x", 0));
  EXPECT_EQ("C:\\" NICHI "\\default.qcf", JoinPath("C:\\" NICHI, '\\', "default.qcf", kUtf8));
  EXPECT_EQ(2U, kDoubleByte.CharacterLength("\xfc\x5c", 0));
  EXPECT_EQ(1U, kDoubleByte.CharacterLength("\xfd\x5c", 0));
  EXPECT_EQ(1U, kBytes.CharacterLength(HYO, 0));
}

TEST(PathTextTest, ParentFolderOnPosixPaths) {
  EXPECT_EQ("/home/ann/velmora", ParentFolderOf("/home/ann/velmora/menu.qnf", kPosixPaths, kBytes));
  EXPECT_EQ("/", ParentFolderOf("/menu.qnf", kPosixPaths, kBytes));
  EXPECT_EQ("/a", ParentFolderOf("/a//menu.qnf", kPosixPaths, kBytes));
  EXPECT_EQ("a", ParentFolderOf("a/menu.qnf", kPosixPaths, kBytes));
  EXPECT_EQ("", ParentFolderOf("menu.qnf", kPosixPaths, kBytes));
  EXPECT_EQ("", ParentFolderOf("", kPosixPaths, kBytes));
  // A backslash is an ordinary character here.
  EXPECT_EQ("", ParentFolderOf("C:\\menu.qnf", kPosixPaths, kBytes));
}

TEST(PathTextTest, ParentFolderOnWindowsPaths) {
  EXPECT_EQ("C:\\Program Files\\Velmora",
            ParentFolderOf("C:\\Program Files\\Velmora\\menu.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:/", ParentFolderOf("C:/x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:\\a/b", ParentFolderOf("C:\\a/b\\x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:\\a", ParentFolderOf("C:\\a\\\\x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\\\x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("\\\\server\\share", ParentFolderOf("\\\\server\\share\\x.qnf", kWindowsPaths, kBytes));
  // A drive's root written verbatim is a root, not the volume "\\?\C:" that names a device.
  EXPECT_EQ("\\\\?\\C:\\", ParentFolderOf("\\\\?\\C:\\new.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("\\??\\c:\\", ParentFolderOf("\\??\\c:\\new.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("\\\\?\\C:\\a", ParentFolderOf("\\\\?\\C:\\a\\new.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("C:", ParentFolderOf("C:x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("", ParentFolderOf("1:x.qnf", kWindowsPaths, kBytes));  // a drive is a letter
  EXPECT_EQ("C:", FolderToCreateIn("C:x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ(".", FolderToCreateIn("x.qnf", kWindowsPaths, kBytes));
  EXPECT_EQ("x.qnf", NameOf("C:\\a\\\\x.qnf", kWindowsPaths, kBytes));
  // Read as bytes, a double-byte name splits in the middle of its characters.
  EXPECT_EQ("C:\\V\\migrated.\x95",
            ParentFolderOf("C:\\V\\migrated." HYO ".qnf", kWindowsPaths, kBytes));
}

TEST(PathTextTest, ParentFolderReadsDoubleByteCharactersWhole) {
  EXPECT_EQ("C:\\Program Files\\Velmora",
            ParentFolderOf("C:\\Program Files\\Velmora\\migrated." HYO ".qnf", kWindowsPaths,
                           kDoubleByte));
  EXPECT_EQ("C:\\" HYO, ParentFolderOf("C:\\" HYO "\\" SO ".qnf", kWindowsPaths, kDoubleByte));
  EXPECT_EQ("C:\\" SO "\\" HYO,
            ParentFolderOf("C:\\" SO "\\" HYO "\\\\" AJ ".qnf", kWindowsPaths, kDoubleByte));
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\" HYO SO ".qnf", kWindowsPaths, kDoubleByte));
  EXPECT_EQ("C:/" AJ, ParentFolderOf("C:/" AJ "/" HYO, kWindowsPaths, kDoubleByte));
  EXPECT_EQ("", ParentFolderOf(HYO SO ".qnf", kWindowsPaths, kDoubleByte));
  EXPECT_EQ("C:", ParentFolderOf("C:" HYO ".qnf", kWindowsPaths, kDoubleByte));
  // 95 then 5C is 表, not a byte and a separator; a lead byte at the very end is a byte.
  EXPECT_EQ("C:\\", ParentFolderOf("C:\\a\x95\\", kWindowsPaths, kDoubleByte));
  EXPECT_EQ("C:\\a", ParentFolderOf("C:\\a\\\x95", kWindowsPaths, kDoubleByte));
}

TEST(PathTextTest, NamesBesideATargetMustFitTheFolderAsWell) {
  const NameLimits posix{255, 4095, "bytes"};
  // A name that fits with the 13 bytes of a temporary name; one more, and longer ones.
  EXPECT_EQ("", NamesBesideTooLong(242, 300, 13, posix));
  for (const std::size_t name : {243U, 244U, 250U, 255U}) {
    EXPECT_EQ("its name is too long for the files made beside it (" + std::to_string(name + 13) +
                  " bytes; at most 255 here)",
              NamesBesideTooLong(name, 300, 13, posix))
        << name;
  }
  EXPECT_EQ("", NamesBesideTooLong(10, 4082, 13, posix));
  EXPECT_EQ("its path is too long for the files made beside it (4096 bytes; at most 4095 here)",
            NamesBesideTooLong(10, 4083, 13, posix));
  // Windows counts the whole path, below MAX_PATH: a replace's backup name adds 17.
  const NameLimits windows{255, 259, "characters"};
  EXPECT_EQ("", NamesBesideTooLong(20, 242, 17, windows));
  EXPECT_EQ("its path is too long for the files made beside it (260 characters; at most 259 here)",
            NamesBesideTooLong(20, 243, 17, windows));
  EXPECT_EQ("", NamesBesideTooLong(20, 246, 13, windows));
  // No limit known, nothing refused.
  EXPECT_EQ("", NamesBesideTooLong(100000, 100000, 17, NameLimits{}));
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

TEST(PathTextTest, DefaultDestinationCountsUtf8Characters) {
  EXPECT_EQ("migrated." NICHI HON ".qnf", DefaultDestinationName(NICHI HON ".qof", kUtf8));
  EXPECT_EQ("migrated.menu.qnf", DefaultDestinationName("menu.qof", kUtf8));
  EXPECT_EQ("migrated.a.qnf", DefaultDestinationName("ab" EURO ".q", kUtf8));
  EXPECT_EQ("migrated.men\xc3\xa9.qnf", DefaultDestinationName("men\xc3\xa9.qof", kUtf8));
  EXPECT_EQ("migrated..qnf", DefaultDestinationName(NICHI HON EURO "\xf0\x9f\x98\x80", kUtf8));
  // Three characters are fewer than four, though nine bytes.
  EXPECT_THROW(DefaultDestinationName(NICHI HON EURO, kUtf8), ConversionFailure);
  // Bytes that make no character count one each: the cut takes whole bytes, never part of 本.
  EXPECT_EQ("migrated.a.qnf", DefaultDestinationName("a\xe6\x97.q", kUtf8));
  EXPECT_EQ("migrated." NICHI ".qnf", DefaultDestinationName(NICHI HON "\xe6\x97\xc3\xa9", kUtf8));
}

// Two names reach one entry when the file system says so, whatever their bytes: a folder that
// ignores case finds "default.qcf" as "DEFAULT.QCF"; two hard links, or a link beside its file,
// are names of their own however alike they are.
TEST(PathTextTest, AnExistingFileIsNamedAsItsFolderListsIt) {
  const std::vector<std::string> listed{".", "..", "default.qcf", "menu.qof", "b", "a"};
  // What the file system says: which listed names reach the file the given name reached.
  const auto reaching = [](std::vector<std::string> names) {
    return [names](const std::string& listedName) {
      return std::find(names.begin(), names.end(), listedName) != names.end();
    };
  };
  const struct {
    const char* what;
    std::string given;
    std::vector<std::string> sameFile;
    std::string name;
  } cases[] = {
      {"listed byte for byte", "default.qcf", {"default.qcf"}, "default.qcf"},
      {"another case, in a folder that ignores it", "DEFAULT.QCF", {"default.qcf"}, "default.qcf"},
      {"another case of a file that is not that one", "Menu.qof", {"b"}, "b"},
      {"a hard link listed by itself", "a", {"a", "b"}, "a"},
      {"nothing listed reaches it (the folder cannot be read)", "X.QNF", {}, "X.QNF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.name, ListedNameOf(c.given, listed, reaching(c.sameFile)));
  }
  for (const char* name : {"", ".", ".."}) {
    EXPECT_FALSE(NamesAnEntry(name)) << name;
  }
  EXPECT_TRUE(NamesAnEntry("...")) << "a file's name";
}

}  // namespace
}  // namespace shiftlet
