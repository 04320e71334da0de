// A failure's detail quotes the field that caused it, but only a bounded prefix: an enormous field
// copied into the detail would double the memory the failure needs.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/system_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"

namespace shiftlet {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

// The detail of the failure `read` throws, or "no failure".
template <typename Read>
std::string DetailOf(Read read) {
  try {
    read();
  } catch (const ConversionFailure& failure) {
    return failure.what();
  }
  return "no failure";
}

TEST(FailureDetailTest, QuotesShortFieldsWholeAndEnormousOnesByTheirStartAndSize) {
  TempFolder folder;
  const std::unique_ptr<FileLayer> files = MakeSystemFileLayer();
  const std::string path = folder / "menu.qof";
  const std::string enormous(1'000'000, '7');

  WriteBytes(path, "99999\r\n");
  EXPECT_EQ(DetailOf([&] {
              FieldReader reader(*files, path);
              std::int16_t header = 0;
              reader.ReadFields({&header});
            }),
            path + " line 1, field 1: 99999 does not fit in 16 bits");

  WriteBytes(path, enormous);
  EXPECT_EQ(DetailOf([&] {
              FieldReader reader(*files, path);
              std::int16_t header = 0;
              reader.ReadFields({&header});
            }),
            path + " line 1, field 1: " + std::string(40, '7') +
                "... (1000000 bytes) does not fit in 16 bits");

  LooseValue loose{LooseValue::Form::kNumber, enormous};
  EXPECT_EQ(DetailOf([&] { LooseToInt16(loose); }),
            std::string(40, '7') + "... (1000000 bytes) does not fit in 16 bits");
  loose = {LooseValue::Form::kText, std::string(1'000'000, 'x')};
  EXPECT_EQ(DetailOf([&] { LooseToInt16(loose); }),
            "\"" + std::string(40, 'x') + "... (1000000 bytes)\" is not a number");
  loose = {LooseValue::Form::kText, "abc"};
  EXPECT_EQ(DetailOf([&] { LooseToInt16(loose); }), "\"abc\" is not a number");
}

}  // namespace
}  // namespace shiftlet
