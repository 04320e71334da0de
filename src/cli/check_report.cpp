#include "cli/check_report.h"

#include <cstdint>
#include <vector>

#include "driver/messages.h"
#include "paths/shown_text.h"

namespace shiftlet {

namespace {

std::string Plural(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Counts(const DryRunCheck& check) {
  return Plural(check.items, "item", "items") + " in " + Plural(check.menus, "menu", "menus");
}

std::string Verdict(const DryRunCheck& check, const CodePage& codePage) {
  const std::string source = ShownText(check.source, codePage);
  if (!check.Converts()) {
    return source + " does not convert.";
  }
  // A PC where nothing would change, or whose new menu file is someone's since, says so first, in
  // the words of a quiet run's line.
  if (check.outcome.result != UnattendedOutcome::Result::kConverted) {
    return ShownText(OutcomeLine(check.outcome, check.destination), codePage);
  }
  return source + " converts" +
         (check.warnings.empty() ? "" : ", with " + WarningCount(check.warnings.size())) + ".";
}

// The findings in the order they are listed: the warnings, then why the run would fail.
std::vector<std::string> FindingLines(const DryRunCheck& check, const CodePage& codePage) {
  std::vector<std::string> lines;
  for (const MenuWarning& warning : check.warnings) {
    lines.push_back("warning: " + ShownText(WarningText(warning), codePage));
  }
  if (!check.Converts()) {
    lines.push_back("error: " + ShownText(check.failure, codePage));
  }
  return lines;
}

// What a conversion would write, in the words of a quiet run's line.
std::string Writes(const DryRunCheck& check, const CodePage& codePage) {
  const auto shown = [&](const std::string& text) { return ShownText(text, codePage); };
  const std::string lines = Plural(check.destinationLines, "line", "lines");
  std::string writes = check.destinationWritten
                           ? "It would write " + shown(check.destination) + ": " + lines + ".\n"
                           : "It would leave " + shown(check.destination) +
                                 " as it is: it holds these " + lines + " already.\n";
  if (check.configurationFound && !check.configurationWritten) {
    return writes + "It would leave " + shown(check.configurationPath) + " as it is: it names \"" +
           shown(check.configurationAfter) + "\" already.\n";
  }
  if (check.configurationFound) {
    writes += "It would update " + shown(check.configurationPath) + ": its first line \"" +
              shown(check.configurationBefore) + "\" becomes \"" + shown(check.configurationAfter) +
              "\".\n";
    if (!check.configurationBackup.empty()) {
      writes += "It would first keep it as it is in " + shown(check.configurationBackup) + ".\n";
    }
    return writes;
  }
  return writes + "There is no " + shown(check.configurationPath) + ", so none would be written.\n";
}

std::string ItemLine(const MenuTables& tables, std::int16_t position, const CodePage& codePage) {
  return "item " + std::to_string(position + 1) + ": " +
         ShownText(Excerpt(tables.itemTable.At(position).Text), codePage);
}

// The tree of the node lines: each item under the item its node line points at, the top menu's
// items (pointing at -1) at the left. Items that only point at one another in a circle are never
// reached from the top, so they are listed after it with what they point at.
std::string MenuTree(const DryRunCheck& check, const CodePage& codePage) {
  const MenuTables& tables = *check.tables;
  std::vector<std::vector<std::int16_t>> children(check.nodes.size());
  std::vector<std::int16_t> roots;
  for (const MenuNode& node : check.nodes) {
    if (node.opener < 0) {
      roots.push_back(node.position);
    } else if (static_cast<std::size_t>(node.opener) < children.size()) {
      children[static_cast<std::size_t>(node.opener)].push_back(node.position);
    }
  }
  std::string tree = "Menus as Velmora 1.1 will show them:\n";
  std::vector<bool> shown(check.nodes.size());
  // Depth first, without recursion: a menu file may nest 301 deep.
  std::vector<std::pair<std::int16_t, std::size_t>> pending;
  for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
    pending.emplace_back(*root, 1);
  }
  while (!pending.empty()) {
    const auto [position, depth] = pending.back();
    pending.pop_back();
    shown[static_cast<std::size_t>(position)] = true;
    tree += std::string(2 * depth, ' ') + ItemLine(tables, position, codePage) + '\n';
    const auto& below = children[static_cast<std::size_t>(position)];
    for (auto child = below.rbegin(); child != below.rend(); ++child) {
      pending.emplace_back(*child, depth + 1);
    }
  }
  std::string unreached;
  for (const MenuNode& node : check.nodes) {
    if (!shown[static_cast<std::size_t>(node.position)]) {
      unreached += "  " + ItemLine(tables, node.position, codePage) + " (under item " +
                   std::to_string(node.opener + 1) + ")\n";
    }
  }
  if (!unreached.empty()) {
    tree += "Not reached from the top menu:\n" + unreached;
  }
  return tree;
}

}  // namespace

std::string WarningText(const MenuWarning& warning) {
  const std::string where = warning.where.Described();
  return (where.empty() ? "" : where + ": ") + warning.reason;
}

PastedCommand CheckCommand(const std::string& program, const std::string& source,
                           const std::optional<std::string>& destination, const PathForm& form,
                           const CodePage& codePage) {
  std::vector<CommandFile> files{{"--source", source, "OLD_MENU_FILE"}};
  if (destination) {
    files.push_back({"--destination", *destination, "NEW_MENU_FILE"});
  }
  return BuildPastedCommand(program + " --check", files, form, codePage);
}

std::string WarningCount(std::size_t warnings) {
  return Plural(static_cast<std::int64_t>(warnings), "warning", "warnings");
}

std::string CheckReport(const DryRunCheck& check, const CodePage& codePage) {
  std::string report = ShownText(check.source, codePage) + ": " + Counts(check) + "\n";
  for (const std::string& line : FindingLines(check, codePage)) {
    report += line + '\n';
  }
  report += Verdict(check, codePage) + '\n';
  if (check.Converts() && check.outcome.result != UnattendedOutcome::Result::kKept) {
    report += Writes(check, codePage) + MenuTree(check, codePage);
  }
  return report;
}

std::string CheckSummary(const DryRunCheck& check, std::size_t shownFindings,
                         const PastedCommand& wholeReportCommand, const CodePage& codePage) {
  const std::vector<std::string> findings = FindingLines(check, codePage);
  std::string summary = Verdict(check, codePage) + "\n" + Counts(check) + ".\n";
  if (!findings.empty()) {
    summary += '\n';
  }
  for (std::size_t i = 0; i < findings.size() && i < shownFindings; ++i) {
    summary += findings[i] + '\n';
  }
  if (findings.size() > shownFindings) {
    summary += "... and " + std::to_string(findings.size() - shownFindings) + " more.\n";
  }
  summary += "\nFor the whole report and the menus as Velmora 1.1 will show them, run:\n" +
             ShownText(wholeReportCommand.text, codePage);
  if (!wholeReportCommand.note.empty()) {
    summary += '\n';
    summary += ShownText(wholeReportCommand.note, codePage);
  }
  return summary;
}

std::string CheckLogReason(const DryRunCheck& check) {
  if (check.outcome.result != UnattendedOutcome::Result::kConverted) {
    return check.outcome.said;
  }
  std::string reason = Plural(check.items, "item", "items");
  if (!check.warnings.empty()) {
    reason += ", " + WarningCount(check.warnings.size());
    const char* separator = ": ";
    for (const MenuWarning& warning : check.warnings) {
      reason += separator + WarningText(warning);
      separator = "; ";
    }
  }
  if (!check.destinationWritten) {
    reason += ", already in " + check.destination + ", so it would not be written";
  }
  return reason + "; " + messages::kConfigurationName +
         (!check.configurationFound    ? " not found, so none would be written"
          : check.configurationWritten ? " would be updated"
                                       : " already names it");
}

}  // namespace shiftlet
