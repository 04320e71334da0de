#include "textfile/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/system_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"

namespace shiftlet {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

class FieldReaderTest : public ::testing::Test {
 protected:
  // A reader over a file holding exactly `bytes`.
  std::unique_ptr<FieldReader> Over(const std::string& bytes) {
    // Appended rather than "f" + ...: GCC 12 takes the latter for an overlapping copy (-Wrestrict).
    std::string name = "f";
    name += std::to_string(++count_);
    const std::string path = folder_ / name;
    WriteBytes(path, bytes);
    return std::make_unique<FieldReader>(*files_, path);
  }

  // Reads every field of `bytes` as a string, one read statement each, until AtEnd().
  std::vector<std::string> Strings(const std::string& bytes) {
    auto reader = Over(bytes);
    std::vector<std::string> fields;
    while (!reader->AtEnd()) {
      std::string field;
      reader->ReadFields({&field});
      fields.push_back(field);
    }
    return fields;
  }

  std::int16_t Int16(const std::string& bytes) {
    std::int16_t value = -999;
    Over(bytes)->ReadFields({&value});
    return value;
  }

  std::int16_t Loose(const std::string& bytes) {
    LooseValue value;
    Over(bytes)->ReadFields({&value});
    return LooseToInt16(value);
  }

  TempFolder folder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
  int count_ = 0;
};

using Fields = std::vector<std::string>;

TEST_F(FieldReaderTest, StringFieldsQuotedBareAndEmpty) {
  EXPECT_EQ((Fields{"a", "b c", "", "d"}), Strings("a,b c,,d\r\n"));
  EXPECT_EQ((Fields{"one, two", "three"}), Strings("\"one, two\",three\r\n"));
  EXPECT_EQ((Fields{"", "", "x"}), Strings(",,x"));
  EXPECT_EQ((Fields{""}), Strings("\"\"\r\n"));
  // Spaces and tabs before a field are skipped, those inside a quoted field kept.
  EXPECT_EQ((Fields{"a", " \t b  ", "c"}), Strings("  a,\" \t b  \",\tc"));
}

TEST_F(FieldReaderTest, BareFieldLosesTrailingBlanks) {
  EXPECT_EQ((Fields{"Open", "Save As", "x"}), Strings("Open  ,Save As\t \r\nx"));
}

TEST_F(FieldReaderTest, TextAfterClosingQuoteIsSkippedToTheDelimiter) {
  EXPECT_EQ((Fields{"ab", "next"}), Strings("\"ab\"cd\"ef,next"));
  EXPECT_EQ((Fields{"ab", "next"}), Strings("\"ab\" junk\r\nnext\r\n"));
  // A quoted field may end with the file, closed or not.
  EXPECT_EQ((Fields{"end"}), Strings("\"end\""));
  EXPECT_EQ((Fields{"open"}), Strings("\"open"));
}

TEST_F(FieldReaderTest, LineEndInsideQuotesEndsTheField) {
  // The line end is the field's delimiter, so "b" starts the next field.
  EXPECT_EQ((Fields{"a", "b\"", "c"}), Strings("\"a\r\nb\",c"));
  EXPECT_EQ((Fields{"a", "b"}), Strings("\"a\nb"));
  for (const std::string& field : Strings("\"x\ry\r\nz\"\n")) {
    EXPECT_EQ(std::string::npos, field.find_first_of("\r\n")) << field;
  }
}

TEST_F(FieldReaderTest, FieldsReadTheSameWhateverTheLineEnds) {
  const Fields expected{"A", "1", "0", "1", "0", "B", "3"};
  EXPECT_EQ(expected, Strings("A,1,0,1,0,B,3"));
  EXPECT_EQ(expected, Strings("A\r\n1\r\n0\r\n1\r\n0\r\nB\r\n3\r\n"));
  EXPECT_EQ(expected, Strings("A\n1\r0\r\n1,0\nB\r3\n"));
  EXPECT_EQ(expected, Strings("A,1\r0\n1\r\n0,B\n3"));
  // Two line ends in a row are an empty field between them, CR LF being one line end.
  EXPECT_EQ((Fields{"a", "", "b"}), Strings("a\r\n\r\nb"));
  EXPECT_EQ((Fields{"a", "", "b"}), Strings("a\n\rb"));
}

TEST_F(FieldReaderTest, AtEndIgnoresTrailingBlanksAndLineEnds) {
  EXPECT_EQ((Fields{"a"}), Strings("a\r\n\r\n \t\n\n"));
  EXPECT_EQ((Fields{}), Strings(""));
  EXPECT_EQ((Fields{}), Strings("\r\n  \n"));
  auto reader = Over("7\r\n");
  std::int16_t value = 0;
  reader->ReadFields({&value});
  EXPECT_TRUE(reader->AtEnd());
  // Asking does not consume: blank lines before a field still count as empty fields.
  reader = Over("\r\n\r\nz");
  EXPECT_FALSE(reader->AtEnd());
  EXPECT_FALSE(reader->AtEnd());
  std::string first;
  std::string second;
  std::string third;
  reader->ReadFields({&first, &second, &third});
  EXPECT_EQ("", first);
  EXPECT_EQ("", second);
  EXPECT_EQ("z", third);
  EXPECT_TRUE(reader->AtEnd());
}

TEST_F(FieldReaderTest, ReadingPastTheEndFails) {
  std::string a;
  std::string b;
  EXPECT_THROW(Over("")->ReadFields({&a}), ConversionFailure);
  EXPECT_THROW(Over("only\r\n")->ReadFields({&a, &b}), ConversionFailure);
  EXPECT_THROW(Over("   ")->ReadFields({&a}), ConversionFailure);
  // A last field with no line end after it is still a field.
  EXPECT_NO_THROW(Over("x,y")->ReadFields({&a, &b}));
  EXPECT_EQ("y", b);
}

TEST_F(FieldReaderTest, Int16TargetsReadNumbersAndZeroForText) {
  EXPECT_EQ(12, Int16("12"));
  EXPECT_EQ(-7, Int16("-7,"));
  EXPECT_EQ(7, Int16("\"7\""));
  EXPECT_EQ(32767, Int16("32767"));
  EXPECT_EQ(-32768, Int16("-32768"));
  EXPECT_EQ(0, Int16(",1"));
  EXPECT_EQ(0, Int16("abc"));
  EXPECT_EQ(0, Int16("\"\""));
  EXPECT_EQ(0, Int16("12abc"));
  EXPECT_EQ(0, Int16("#TRUE#"));
  EXPECT_THROW(Int16("32768"), ConversionFailure);
  EXPECT_THROW(Int16("-32769"), ConversionFailure);
  EXPECT_THROW(Int16("\"99999\""), ConversionFailure);
}

TEST_F(FieldReaderTest, LooseValuesConvertStrictly) {
  EXPECT_EQ(0, Loose(",x"));
  EXPECT_EQ(0, Loose("\r\n"));
  EXPECT_EQ(5, Loose("5"));
  EXPECT_EQ(7, Loose("\"7\""));
  EXPECT_EQ(-3, Loose(" -3 \r\n"));
  EXPECT_THROW(Loose("\"\""), ConversionFailure);  // quoted empty is text, not empty
  EXPECT_THROW(Loose("abc"), ConversionFailure);
  EXPECT_THROW(Loose("\"abc\""), ConversionFailure);
  EXPECT_THROW(Loose("40000"), ConversionFailure);
  EXPECT_THROW(Loose("\"-40000\""), ConversionFailure);
}

TEST_F(FieldReaderTest, LooseValueKeepsTheFormItWasFoundIn) {
  LooseValue empty;
  LooseValue number;
  LooseValue text;
  LooseValue quoted;
  Over(",12,ab,\"12\"")->ReadFields({&empty, &number, &text, &quoted});
  EXPECT_EQ(LooseValue::Form::kEmpty, empty.form);
  EXPECT_EQ(LooseValue::Form::kNumber, number.form);
  EXPECT_EQ("12", number.text);
  EXPECT_EQ(LooseValue::Form::kText, text.form);
  EXPECT_EQ(LooseValue::Form::kText, quoted.form);
  EXPECT_EQ("12", quoted.text);
}

TEST_F(FieldReaderTest, OneStatementFillsMixedTargetsAcrossLines) {
  std::string text;
  std::int16_t kind = 0;
  std::int16_t menu = 0;
  std::string value;
  LooseValue extra;
  Over("\"Open, recent\"\r\n1\n2\r\n\"\"\r9")->ReadFields({&text, &kind, &menu, &value, &extra});
  EXPECT_EQ("Open, recent", text);
  EXPECT_EQ(1, kind);
  EXPECT_EQ(2, menu);
  EXPECT_EQ("", value);
  EXPECT_EQ(9, LooseToInt16(extra));
}

TEST_F(FieldReaderTest, BytesPassThroughUnchanged) {
  const std::string latin1 = "Men\xfc \xe9t\xe9\x01\x7f\xff";
  EXPECT_EQ((Fields{latin1, latin1}), Strings("\"" + latin1 + "\"," + latin1));
  // NUL bytes are text like any other, in bare and quoted fields and at the very end.
  const std::string nul(1, '\0');
  EXPECT_EQ((Fields{"a" + nul + "b", "c" + nul + "d", nul}),
            Strings("a" + nul + "b,\"c" + nul + "d\"\r\n" + nul));
  // A byte-order mark is not recognised: it is part of the first field.
  EXPECT_EQ((Fields{"\xef\xbb\xbf"
                    "70"}),
            Strings("\xef\xbb\xbf"
                    "70\r\n"));
}

TEST_F(FieldReaderTest, MissingFileOrFolderFails) {
  EXPECT_THROW(FieldReader(*files_, folder_ / "absent.qof"), ConversionFailure);
  EXPECT_THROW(FieldReader(*files_, folder_.Path().string()), ConversionFailure);
}

TEST_F(FieldReaderTest, BlankRunsAreScannedOnceWhateverTheNumberOfFields) {
  // Each AtEnd() over a long run of line ends must not rescan it: a million blank lines then one
  // field, read one empty field per statement, would otherwise take about 10^12 steps.
  const std::string bytes = std::string(1'000'000, '\n') + "z";
  auto reader = Over(bytes);
  std::size_t fields = 0;
  std::string field;
  while (!reader->AtEnd()) {
    reader->ReadFields({&field});
    ++fields;
  }
  EXPECT_EQ(1'000'001U, fields);
  EXPECT_EQ("z", field);
}

}  // namespace
}  // namespace shiftlet
