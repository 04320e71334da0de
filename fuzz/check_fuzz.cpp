// The check against the conversion, on the same bytes: the check passes exactly the files that
// convert, fails the others for the same reason at the same place, writes nothing, and its node
// lines are the ones the new file holds.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "menu/check_menu_file.h"
#include "menu/menu_files.h"
#include "support/memory_file_layer.h"
#include "textfile/conversion_failure.h"
#include "textfile/number_forms.h"

namespace {

using shiftlet::fuzz::Require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  shiftlet::testing::MemoryFileLayer checked;
  checked.files["old.qof"] = bytes;
  const shiftlet::MenuFileCheck check = shiftlet::CheckOldMenuFile(checked, "old.qof");
  Require(checked.files.size() == 1 && checked.files["old.qof"] == bytes,
          "the check writes nothing");

  shiftlet::testing::MemoryFileLayer converted;
  converted.files["old.qof"] = bytes;
  shiftlet::MenuTables tables;
  std::string failure;
  try {
    shiftlet::ReadOldMenuFile(tables, converted, "old.qof");
    shiftlet::WriteNewMenuFile(tables, converted, "new.qnf");
  } catch (const shiftlet::ConversionFailure& error) {
    failure = error.what();
  }

  Require(check.converts == failure.empty(), "the check passes exactly what converts");
  if (!check.converts) {
    Require(!check.findings.empty(), "a failing check has findings");
    const shiftlet::MenuFinding& last = check.findings.back();
    Require(last.severity == shiftlet::MenuFinding::Severity::kError,
            "the last finding is the error");
    Require(shiftlet::ConversionFailure(last.reason, last.where).what() == failure,
            "the check fails for the conversion's reason, at its place");
    for (std::size_t i = 0; i + 1 < check.findings.size(); ++i) {
      Require(check.findings[i].severity == shiftlet::MenuFinding::Severity::kWarning,
              "one error only");
    }
    return 0;
  }
  Require(check.items == tables.lastIndex + 1, "the check counts the items converted");
  // The node lines of the new file, from the check's nodes.
  std::string nodes;
  for (const shiftlet::MenuNode& node : check.nodes) {
    nodes += "n," + shiftlet::PrintForm(node.position) + "," + shiftlet::PrintForm(node.opener) +
             "," + shiftlet::PrintForm(node.position) + "\r\n";
  }
  const std::string& out = converted.files.at("new.qnf");
  Require(out.size() >= nodes.size() + 3 &&
              out.compare(out.size() - nodes.size() - 3, nodes.size(), nodes) == 0,
          "the check's nodes are the new file's node lines");
  for (const shiftlet::MenuFinding& finding : check.findings) {
    Require(finding.severity == shiftlet::MenuFinding::Severity::kWarning,
            "a file that converts has only warnings");
  }
  return 0;
}
