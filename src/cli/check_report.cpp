#include "cli/check_report.h"

#include <cstdint>
#include <vector>

#include "driver/messages.h"
#include "paths/shown_text.h"

namespace shiftlet {

namespace {

// A node line of the new file: the item at `position` hangs under the item at `opener` (-1: the
// top menu).
struct MenuNode {
  std::int16_t position = 0;
  std::int16_t opener = 0;
};

// The node lines the conversion wrote (or found written already): each item under the item that
// opens its menu, as the menu map the writer filled says.
std::vector<MenuNode> NodesOf(const UnattendedRecord& check) {
  const MenuTables& tables = *check.run.tables;
  std::vector<MenuNode> nodes;
  for (std::int16_t position = 0; position <= tables.lastIndex; ++position) {
    nodes.push_back({position, tables.menuMap.At(tables.itemTable.At(position).MenuNo)});
  }
  return nodes;
}

bool Converts(const UnattendedRecord& check) {
  return check.ExitStatus() == 0;
}

std::string Counts(const UnattendedRecord& check) {
  return Plural(check.run.items, "item", "items") + " in " + Plural(check.menus, "menu", "menus");
}

std::string Verdict(const UnattendedRecord& check, const CodePage& codePage) {
  const std::string& source = check.run.source;
  if (!Converts(check)) {
    return ShownText(source, codePage) + " does not convert.";
  }
  // A PC where nothing would change, or whose new menu file is someone's since, says so first, in
  // the words of a quiet run's line.
  const Result result = check.outcome.result;
  if (result != Result::kConverted) {
    return ShownText(
        LineStart(result, Tense::kWould, source, check.run.destination) + check.outcome.said,
        codePage);
  }
  return LineStart(result, Tense::kWould, ShownText(source, codePage), "") +
         (check.warnings.empty() ? "" : ", with " + WarningCount(check.warnings.size())) + ".";
}

// The findings in the order they are listed: the warnings, then why the run would fail.
std::vector<std::string> FindingLines(const UnattendedRecord& check, const CodePage& codePage) {
  std::vector<std::string> lines;
  for (const MenuWarning& warning : check.warnings) {
    lines.push_back("warning: " + ShownText(WarningText(warning), codePage));
  }
  for (const std::string& held : check.inUseNow) {
    lines.push_back("warning: " + ShownText(held, codePage));
  }
  if (!Converts(check)) {
    lines.push_back("error: " + ShownText(check.outcome.said, codePage));
  }
  return lines;
}

// What a conversion would write, in the words of a quiet run's line.
std::string Writes(const RunRecord& run, const CodePage& codePage) {
  const auto shown = [&](const std::string& text) { return ShownText(text, codePage); };
  const std::string lines = Plural(run.newFileLines, "line", "lines");
  std::string writes = run.newFileChanged
                           ? "It would write " + shown(run.destination) + ": " + lines + ".\n"
                           : "It would leave " + shown(run.destination) +
                                 " as it is: it holds these " + lines + " already.\n";
  if (run.configurationFound && !run.configurationChanged) {
    return writes + "It would leave " + shown(run.configurationPath) + " as it is: it names \"" +
           shown(run.configurationAfter) + "\" already.\n";
  }
  if (run.configurationFound) {
    writes += "It would update " + shown(run.configurationPath) + ": its first line \"" +
              shown(run.configurationBefore) + "\" becomes \"" + shown(run.configurationAfter) +
              "\".\n";
    if (!run.configurationBackup.empty()) {
      writes += "It would first keep it as it is in " + shown(run.configurationBackup) + ".\n";
    }
    return writes;
  }
  return writes + "There is no " + shown(run.configurationPath) + ", so " +
         kWouldWords.noneWritten + ".\n";
}

std::string ItemLine(const MenuTables& tables, std::int16_t position, const CodePage& codePage) {
  return "item " + std::to_string(position + 1) + ": " +
         ShownText(Excerpt(tables.itemTable.At(position).Text), codePage);
}

// The tree of the node lines: each item under the item its node line points at, the top menu's
// items (pointing at -1) at the left. Items that only point at one another in a circle are never
// reached from the top, so they are listed after it with what they point at.
std::string MenuTree(const UnattendedRecord& check, const CodePage& codePage) {
  const MenuTables& tables = *check.run.tables;
  const std::vector<MenuNode> nodes = NodesOf(check);
  std::vector<std::vector<std::int16_t>> children(nodes.size());
  std::vector<std::int16_t> roots;
  for (const MenuNode& node : nodes) {
    if (node.opener < 0) {
      roots.push_back(node.position);
    } else if (static_cast<std::size_t>(node.opener) < children.size()) {
      children[static_cast<std::size_t>(node.opener)].push_back(node.position);
    }
  }
  std::string tree = "Menus as Velmora 1.1 will show them:\n";
  std::vector<bool> shown(nodes.size());
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
  for (const MenuNode& node : nodes) {
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

std::string CheckReport(const UnattendedRecord& check, const CodePage& codePage) {
  std::string report = ShownText(check.run.source, codePage) + ": " + Counts(check) + "\n";
  for (const std::string& line : FindingLines(check, codePage)) {
    report += line + '\n';
  }
  report += Verdict(check, codePage) + '\n';
  if (check.ShowsWhatItWrites()) {
    report += Writes(check.run, codePage) + MenuTree(check, codePage);
  }
  return report;
}

std::string CheckSummary(const UnattendedRecord& check, std::size_t shownFindings,
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

}  // namespace shiftlet
