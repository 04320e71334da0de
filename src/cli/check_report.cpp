#include "cli/check_report.h"

#include <cstdint>
#include <vector>

namespace shiftlet {

namespace {

std::string Plural(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Counts(const MenuFileCheck& check) {
  return Plural(check.items, "item", "items") + " in " + Plural(check.menus, "menu", "menus");
}

std::string Verdict(const MenuFileCheck& check, const std::string& path) {
  if (!check.converts) {
    return path + " does not convert.";
  }
  std::int64_t warnings = 0;
  for (const MenuFinding& finding : check.findings) {
    warnings += finding.severity == MenuFinding::Severity::kWarning ? 1 : 0;
  }
  return path + " converts" +
         (warnings == 0 ? "" : ", with " + Plural(warnings, "warning", "warnings")) + ".";
}

std::string ItemLine(const MenuTables& tables, std::int16_t position) {
  return "item " + std::to_string(position + 1) + ": " +
         Excerpt(tables.itemTable.At(position).Text);
}

// The tree of the node lines: each item under the item its node line points at, the top menu's
// items (pointing at -1) at the left. Items that only point at one another in a circle are never
// reached from the top, so they are listed after it with what they point at.
std::string MenuTree(const MenuFileCheck& check) {
  const MenuTables& tables = *check.tables;
  std::vector<std::vector<std::int16_t>> children(check.nodes.size());
  std::vector<std::int16_t> roots;
  for (const MenuNode& node : check.nodes) {
    if (node.opener < 0) {
      roots.push_back(node.position);
    } else {
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
    tree += std::string(2 * depth, ' ') + ItemLine(tables, position) + '\n';
    const auto& below = children[static_cast<std::size_t>(position)];
    for (auto child = below.rbegin(); child != below.rend(); ++child) {
      pending.emplace_back(*child, depth + 1);
    }
  }
  std::string unreached;
  for (const MenuNode& node : check.nodes) {
    if (!shown[static_cast<std::size_t>(node.position)]) {
      unreached += "  " + ItemLine(tables, node.position) + " (under item " +
                   std::to_string(node.opener + 1) + ")\n";
    }
  }
  if (!unreached.empty()) {
    tree += "Not reached from the top menu:\n" + unreached;
  }
  return tree;
}

}  // namespace

std::string FindingLine(const MenuFinding& finding) {
  const std::string where = finding.where.Described();
  return std::string(finding.severity == MenuFinding::Severity::kError ? "error: " : "warning: ") +
         (where.empty() ? "" : where + ": ") + finding.reason;
}

std::string CheckReport(const MenuFileCheck& check, const std::string& path) {
  std::string report = path + ": " + Counts(check) + "\n";
  for (const MenuFinding& finding : check.findings) {
    report += FindingLine(finding) + '\n';
  }
  report += Verdict(check, path) + '\n';
  if (check.converts) {
    report += MenuTree(check);
  }
  return report;
}

std::string CheckSummary(const MenuFileCheck& check, const std::string& path,
                         std::size_t shownFindings, const std::string& wholeReportCommand) {
  std::string summary = Verdict(check, path) + "\n" + Counts(check) + ".\n";
  if (!check.findings.empty()) {
    summary += '\n';
  }
  for (std::size_t i = 0; i < check.findings.size() && i < shownFindings; ++i) {
    summary += FindingLine(check.findings[i]) + '\n';
  }
  if (check.findings.size() > shownFindings) {
    summary += "... and " + std::to_string(check.findings.size() - shownFindings) + " more.\n";
  }
  summary += "\nFor the whole report and the menus as Velmora 1.1 will show them, run:\n" +
             wholeReportCommand;
  return summary;
}

}  // namespace shiftlet
