// The field reader over arbitrary bytes and an arbitrary list of targets. Besides never crashing:
// no field ever holds a line end, reading always ends, and a file reads the same as its copy with
// every line end written as LF.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "support/memory_file_layer.h"
#include "textfile/conversion_failure.h"
#include "textfile/field_reader.h"

namespace {

using shiftlet::FieldReader;
using shiftlet::LooseValue;

constexpr std::size_t kMaxTargets = 6;

// Every field read, in a form that compares: "s:<text>", "i:<value>", "l:<form>:<text>:<value>",
// and "fail" where a statement failed.
std::vector<std::string> ReadAll(const std::string& bytes, const std::vector<int>& kinds) {
  shiftlet::testing::MemoryFileLayer files;
  files.files["f"] = shiftlet::MemoryBytes(bytes);
  FieldReader reader(files, "f");
  std::string text[kMaxTargets];
  std::int16_t number[kMaxTargets] = {};
  LooseValue loose[kMaxTargets];
  std::vector<shiftlet::FieldTarget> targets;
  for (std::size_t t = 0; t < kinds.size(); ++t) {
    targets.push_back(kinds[t] == 0   ? shiftlet::FieldTarget(&text[t])
                      : kinds[t] == 1 ? shiftlet::FieldTarget(&number[t])
                                      : shiftlet::FieldTarget(&loose[t]));
  }
  std::vector<std::string> seen;
  std::size_t statements = 0;
  while (!reader.AtEnd()) {
    // Each statement consumes at least one byte, so there are never more than bytes.
    shiftlet::fuzz::Require(statements++ <= bytes.size(), "reading ends");
    try {
      reader.ReadFields(targets);
    } catch (const shiftlet::ConversionFailure&) {
      seen.push_back("fail");
      break;
    }
    for (std::size_t t = 0; t < kinds.size(); ++t) {
      if (kinds[t] == 0) {
        shiftlet::fuzz::Require(text[t].find_first_of("\r\n") == std::string::npos,
                                "no string field holds a line end");
        seen.push_back("s:" + text[t]);
      } else if (kinds[t] == 1) {
        seen.push_back("i:" + std::to_string(number[t]));
      } else {
        shiftlet::fuzz::Require(loose[t].text.find_first_of("\r\n") == std::string::npos,
                                "no loose field holds a line end");
        std::string value;
        try {
          value = std::to_string(shiftlet::LooseToInt16(loose[t]));
        } catch (const shiftlet::ConversionFailure&) {
          value = "mismatch";
        }
        seen.push_back("l:" + std::to_string(static_cast<int>(loose[t].form)) + ":" +
                       loose[t].text + ":" + value);
      }
    }
  }
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte chooses how many targets a statement has, the next ones their types.
  const std::size_t count = 1 + data[0] % kMaxTargets;
  if (size < 1 + count) {
    return 0;
  }
  std::vector<int> kinds;
  for (std::size_t t = 0; t < count; ++t) {
    kinds.push_back(data[1 + t] % 3);
  }
  const std::string bytes(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
  shiftlet::fuzz::Require(
      ReadAll(bytes, kinds) == ReadAll(shiftlet::fuzz::WithLfLineEnds(bytes), kinds),
      "a file reads the same with its line ends written as LF");
  return 0;
}
