#include "cli/check_run.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <string_view>

#include "cli/unattended_failure.h"
#include "driver/shiftlet_core.h"
#include "platform/dry_run/dry_run_platform.h"
#include "platform/unattended/unattended_platform.h"
#include "textfile/memory_file.h"

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

// Parses one node line ("n, 5 , 2 , 5 ") into the check.
void AddNode(std::string_view line, DryRunCheck& check) {
  std::int16_t numbers[2] = {};
  std::string_view rest = line.substr(2);
  for (std::int16_t& number : numbers) {
    const std::string_view field = Trimmed(rest.substr(0, rest.find(',')));
    std::from_chars(field.data(), field.data() + field.size(), number);
    rest.remove_prefix(std::min(rest.size(), rest.find(',') + 1));
  }
  check.nodes.push_back({numbers[0], numbers[1]});
}

// The node lines of a new menu file, read back from its bytes in blocks, so the tree shows what
// the file says. Lines end at CR LF. Element lines begin with "e,", so no text can pass for a node
// line; of any other line only its first two bytes are kept, so an enormous text is never copied.
class NodeLineReader {
 public:
  explicit NodeLineReader(DryRunCheck& check) : check_(check) {}

  void Take(std::string_view block) {
    while (!block.empty()) {
      if (pendingCr_) {
        pendingCr_ = false;
        if (block.front() == '\n') {
          EndLine();
          block.remove_prefix(1);
          continue;
        }
        AddToLine("\r");
      }
      const std::size_t cr = block.find('\r');
      AddToLine(block.substr(0, cr));
      if (cr == std::string_view::npos) {
        return;
      }
      pendingCr_ = true;
      block.remove_prefix(cr + 1);
    }
  }

  void Finish() {
    if (pendingCr_) {
      AddToLine("\r");
    }
    if (lineStarted_) {
      EndLine();
    }
  }

 private:
  bool NodeLine() const { return line_.size() >= 2 && line_.compare(0, 2, "n,") == 0; }

  void AddToLine(std::string_view bytes) {
    if (bytes.empty()) {
      return;
    }
    lineStarted_ = true;
    if (line_.size() < 2) {
      const std::size_t head = std::min(bytes.size(), 2 - line_.size());
      line_.append(bytes.substr(0, head));
      bytes.remove_prefix(head);
    }
    if (NodeLine()) {
      line_.append(bytes);
    }
  }

  void EndLine() {
    ++check_.destinationLines;
    if (NodeLine()) {
      AddNode(line_, check_);
    }
    line_.clear();
    lineStarted_ = false;
  }

  DryRunCheck& check_;
  std::string line_;  // the line so far: whole for a node line, its first two bytes for any other
  bool lineStarted_ = false;
  bool pendingCr_ = false;  // the block ended in CR: a line end if LF comes next
};

// `read(buffer, size)` gives the file's next bytes, 0 at its end.
template <typename Read>
void ReadNodeLines(Read read, DryRunCheck& check) {
  NodeLineReader reader(check);
  std::string block(64 * 1024, '\0');
  while (const std::size_t got = read(block.data(), block.size())) {
    reader.Take(std::string_view(block.data(), got));
  }
  reader.Finish();
}

}  // namespace

DryRunCheck CheckByDryRun(Platform& system, const std::optional<std::string>& source,
                          const std::optional<std::string>& destination, bool replace) {
  DryRunPlatform dryRun(system);
  UnattendedPlatform platform(dryRun, {source, destination, replace});
  ShiftletCore core(platform);
  DryRunCheck check;
  const std::vector<std::string>& picked = platform.Picked();
  try {
    const RunEnd end = core.RunConversion();
    check.outcome = OutcomeOf(core, end, picked.empty() ? "" : picked.front());
  } catch (const std::exception& error) {
    check.outcome = {UnattendedOutcome::Result::kFailed, kExitStartupError, error.what()};
  }
  check.status = check.outcome.status;
  if (check.outcome.result == UnattendedOutcome::Result::kFailed) {
    check.failure = check.outcome.said;
  }
  check.source = picked.empty() ? source.value_or("") : picked.front();
  check.items = core.ItemCount();
  check.menus = CountMenus(core.Tables(), check.items);
  check.warnings = MenuWarnings(core.Tables(), check.items, core.NewFileWritten());
  check.destination = core.State().DestinationPath;  // logged even when the run fails
  if (check.Converts() && check.outcome.result != UnattendedOutcome::Result::kKept) {
    check.destinationWritten = core.NewFileChanged();
    if (check.destinationWritten) {
      for (const auto& placed : dryRun.DryRunFiles().Replaced()) {
        if (placed.path == check.destination) {
          MemoryBytes::Position at;
          ReadNodeLines(
              [&](char* buffer, std::size_t size) { return placed.bytes.Read(at, buffer, size); },
              check);
          break;  // the new menu file; default.qcf may be written after it, even under its name
        }
      }
    } else {
      // Left as it is: its lines are on the disk.
      const std::unique_ptr<OpenFile> file = system.Files().OpenForReading(check.destination);
      ReadNodeLines([&](char* buffer, std::size_t size) { return file->Read(buffer, size); },
                    check);
    }
    check.configurationPath = core.ConfigurationPath();
    check.configurationFound = core.ConfigurationUpdated();
    check.configurationBefore = core.State().ConfigName;
    check.configurationAfter = core.State().DestinationTitle;
    check.configurationWritten = core.ConfigurationChanged();
    if (core.ConfigurationBackedUp()) {
      check.configurationBackup = core.ConfigurationBackupPath();
    }
  }
  // Last: the run is over, and its items go to the report without a copy.
  *check.tables = core.ReleaseTables();
  return check;
}

}  // namespace shiftlet
