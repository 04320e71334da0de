#include "cli/check_run.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <string_view>

#include "cli/unattended_failure.h"
#include "driver/shiftlet_core.h"
#include "platform/dry_run/dry_run_platform.h"
#include "platform/unattended/unattended_platform.h"

namespace shiftlet {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

// The node lines of a new menu file ("n, 5 , 2 , 5 "), read back from its bytes, so the tree
// shows what the file says. Element lines begin with "e,", so no text can pass for a node line.
void ReadNodeLines(std::string_view bytes, DryRunCheck& check) {
  while (!bytes.empty()) {
    const std::size_t end = bytes.find("\r\n");
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
    ++check.destinationLines;
    if (line.substr(0, 2) != "n,") {
      continue;
    }
    std::int16_t numbers[2] = {};
    std::string_view rest = line.substr(2);
    for (std::int16_t& number : numbers) {
      const std::string_view field = Trimmed(rest.substr(0, rest.find(',')));
      std::from_chars(field.data(), field.data() + field.size(), number);
      rest.remove_prefix(std::min(rest.size(), rest.find(',') + 1));
    }
    check.nodes.push_back({numbers[0], numbers[1]});
  }
}

}  // namespace

DryRunCheck CheckByDryRun(Platform& system, const std::optional<std::string>& source,
                          const std::optional<std::string>& destination) {
  DryRunPlatform dryRun(system);
  UnattendedPlatform platform(dryRun, {source, destination});
  ShiftletCore core(platform);
  DryRunCheck check;
  try {
    check.status = ExitStatusFor(core.RunConversion());
    check.failure = UnattendedFailure(core);
  } catch (const std::exception& error) {
    check.status = kExitStartupError;  // before anything was read
    check.failure = error.what();
  }

  const std::vector<std::string>& picked = platform.Picked();
  check.source = picked.empty() ? source.value_or("") : picked.front();
  check.items = core.ItemCount();
  check.menus = CountMenus(core.Tables(), check.items);
  check.warnings = MenuWarnings(core.Tables(), check.items, core.NewFileWritten());
  *check.tables = core.Tables();
  check.destination = core.State().DestinationPath;
  if (!check.Converts()) {
    return check;
  }
  for (const auto& [path, bytes] : dryRun.DryRunFiles().Replaced()) {
    if (path == check.destination) {
      ReadNodeLines(bytes, check);
      break;  // the new menu file; default.qcf may be written after it, even under its name
    }
  }
  check.configurationPath = core.ConfigurationPath();
  check.configurationFound = core.ConfigurationUpdated();
  check.configurationBefore = core.State().ConfigName;
  check.configurationAfter = core.State().DestinationTitle;
  return check;
}

}  // namespace shiftlet
