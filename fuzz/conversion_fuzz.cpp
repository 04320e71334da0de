// A whole conversion: old menu file bytes in, new menu file bytes or a failure out. A new file
// starts with "70", ends with "x", has 2N+2 lines for N items and no line end inside a line; a
// failure leaves nothing behind; and the old file reads the same with its line ends written as LF.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "menu/menu_files.h"
#include "support/memory_file_layer.h"
#include "textfile/conversion_failure.h"

namespace {

using shiftlet::fuzz::Require;

// The new file's bytes, or nothing when the conversion failed.
std::optional<std::string> Convert(const std::string& oldBytes) {
  shiftlet::testing::MemoryFileLayer files;
  files.files["old.qof"] = shiftlet::MemoryBytes(oldBytes);
  shiftlet::MenuTables tables;
  try {
    shiftlet::ReadOldMenuFile(tables, files, "old.qof");
    shiftlet::WriteNewMenuFile(tables, files, "new.qnf");
  } catch (const shiftlet::ConversionFailure&) {
    Require(files.files.size() == 1, "a failed conversion leaves no file behind");
    return std::nullopt;
  }
  Require(files.files.size() == 2, "a conversion leaves exactly the new file");
  const std::string out = files.files.at("new.qnf").Text();
  const std::size_t items = static_cast<std::size_t>(tables.lastIndex + 1);
  Require(out.compare(0, 4, "70\r\n") == 0, "the new file starts with 70");
  Require(out.size() >= 7 && out.compare(out.size() - 3, 3, "x\r\n") == 0,
          "the new file ends with x");
  const std::size_t lines = shiftlet::fuzz::CrLfLines(out);
  Require(lines == 2 * items + 2, "2N+2 lines for N items");
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Require(Convert(bytes) == Convert(shiftlet::fuzz::WithLfLineEnds(bytes)),
          "an old file converts the same with its line ends written as LF");
  return 0;
}
