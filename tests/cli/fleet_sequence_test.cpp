// What a fleet does to one PC, in random sequences: checks and quiet runs, with and without
// --replace, undos, and Velmora 1.1 and people changing the files between them. After every step
// that runs the program (the others cannot break them) the promises below must hold:
//   (1) A check writes nothing and ends as the run after it does (exit status, logged result).
//   (2) A run right after the same run that ended 0 writes nothing.
//   (3) Once default.qcf names the new menu file, no quiet run changes it.
//   (4) A menu file that differs from the conversion is never replaced or removed without
//       --replace.
//   (5) The backup is never rewritten; only an undo that gave its bytes back whole removes it, and
//       a run that makes it makes it of default.qcf as it was.
//   (6) A conversion, then an undo with nothing edited between, leaves every file as before the
//       conversion, where what it found can be told from what it made.
//   (7) No undo removes a file that the default.qcf it leaves names.
//   (8) default.qcf reads back its second and third fields as Velmora 1.1 last wrote them.
//
// RapidCheck's state machines rather than a libFuzzer target: a failure shrinks to the shortest
// sequence of named steps, printed to be read as a story, and the test runs with CTest like any
// other, in seconds, on real files in a scratch folder, as the command line drives the program.

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/unattended_run.h"
#include "driver/scripted_platform.h"
#include "menu/menu_files.h"
#include "platform/system_file_layer.h"
#include "support/memory_file_layer.h"
#include "support/temp_folder.h"
#include "textfile/field_reader.h"

namespace shiftlet {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr const char* kOldMenu = "menu.qof";
constexpr const char* kNewMenu = "migrated.menu.qnf";
constexpr const char* kConfiguration = "default.qcf";
constexpr const char* kBackup = "default.qcf.before-shiftlet";

// Old menu files that convert, each to a menu file of its own.
const std::array<std::string, 3> kOldMenus = {
    "1\r\n\"File\",1,0,\"1\",0\r\n\"Open...\",0,1,\"open\",1\r\n\"Exit\",3,1,\"quit\",0\r\n",
    "1\r\n\"File\",1,0,\"1\",0\r\n\"Open...\",0,1,\"open\",1\r\n\"Save\",0,1,\"save\",2\r\n",
    "1\r\n\"Help\",1,0,\"1\",0\r\n\"About Velmora\",0,1,\"about\",7\r\n",
};

// default.qcf as a PC may hold it before any run; the last names the new menu file already, as
// on a PC converted by hand, with no backup.
const std::array<std::optional<std::string>, 5> kConfigurations = {
    std::nullopt,
    "menu.qnf\r\nclassic\r\nen-GB\r\n",
    "\"menu.qnf\"\r\n\"classic\"\r\n\"en-GB\"\r\n",
    "\"menu.qnf\"\r\n\"classic\"\r\n\"en-GB\"\r\n\"toolbar=1\"\r\n\"recent=4\"\r\n",
    "\"migrated.menu.qnf\",\"classic\",\"en-GB\"\r\n",
};
constexpr const char* kConfigurationForms[] = {"none", "bare", "quoted", "five lines",
                                               "naming the new menu file"};

// A new menu file someone has, which is no conversion of any old one.
constexpr const char* kOtherMenuFile = "70\r\n\"Mine\",0,0,0,\"\",0,0,0\r\n0,0,1\r\nx\r\n";

// The PC before the first step.
struct Start {
  std::size_t configuration = 0;  // in kConfigurations
  bool otherMenuFile = false;
  std::size_t oldMenu = 0;  // in kOldMenus
};

std::ostream& operator<<(std::ostream& os, const Start& start) {
  return os << "default.qcf " << kConfigurationForms[start.configuration] << ", "
            << (start.otherMenuFile ? "someone's own " : "no ") << kNewMenu << ", " << kOldMenu
            << " old menu " << start.oldMenu;
}

// What the steps alone decide: which old menu file is there, whether default.qcf is (no run
// creates or removes it), and the fields after its first as Velmora 1.1 last wrote them.
struct Model {
  std::size_t oldMenu = 0;
  bool configuration = false;
  std::string second = "classic";
  std::string third = "en-GB";
};

using Files = std::map<std::string, std::string>;

// One of `count` choices, each as likely at any size, shrinking towards the first. RapidCheck
// scales inRange by the size, which starts at 0: left so, the short sequences would start from
// the first few PCs alone.
rc::Gen<std::size_t> Choice(std::size_t count) {
  return rc::gen::resize(rc::kNominalSize, rc::gen::inRange<std::size_t>(0, count));
}

// Bytes as a message shows them, line ends visible.
std::string Quoted(const std::string& bytes) {
  std::string shown = "\"";
  for (const char c : bytes) {
    shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return shown + "\"";
}

// What changed from `before` to `after`, file by file; empty when nothing did.
std::string Changes(const Files& before, const Files& after) {
  std::string changes;
  for (const auto& [name, bytes] : before) {
    const auto now = after.find(name);
    if (now == after.end()) {
      changes += "; " + name + " removed";
    } else if (now->second != bytes) {
      changes += "; " + name + " " + Quoted(bytes) + " became " + Quoted(now->second);
    }
  }
  for (const auto& [name, bytes] : after) {
    if (before.count(name) == 0) {
      changes += "; " + name + " made: " + Quoted(bytes);
    }
  }
  return changes.empty() ? "" : changes.substr(2);
}

void Require(bool holds, const std::string& what) {
  if (!holds) {
    RC_FAIL(what);
  }
}

// The first `count` fields of a default.qcf holding `bytes`, read as the program reads it.
std::vector<std::string> FieldsOf(const std::string& bytes, std::size_t count) {
  testing::MemoryFileLayer files;
  files.files["/default.qcf"] = MemoryBytes(bytes);
  FieldReader reader(files, "/default.qcf");
  std::vector<std::string> fields(count);
  std::vector<FieldTarget> targets;
  for (std::string& field : fields) {
    targets.push_back(&field);
  }
  reader.ReadFields(targets);
  return fields;
}

std::string FirstFieldOf(const Files& files, const std::string& name) {
  const auto file = files.find(name);
  return file == files.end() ? "" : FieldsOf(file->second, 1)[0];
}

// The new menu file converted from kOldMenus[oldMenu].
const std::string& ConversionOf(std::size_t oldMenu) {
  static const std::vector<std::string> conversions = [] {
    std::vector<std::string> all;
    for (const std::string& menu : kOldMenus) {
      testing::MemoryFileLayer files;
      files.files["/m.qof"] = MemoryBytes(menu);
      const auto tables = std::make_unique<MenuTables>();
      ReadOldMenuFile(*tables, files, "/m.qof");
      WriteNewMenuFile(*tables, files, "/m.qnf");
      all.push_back(files.files.at("/m.qnf").Text());
    }
    return all;
  }();
  return conversions.at(oldMenu);
}

// How a run ended: its exit status and the result its log line gives.
struct Ended {
  int status = 0;
  std::string result;
  std::string said;  // what it printed
};

// The result a run logs where its check logs `result`.
std::string AsRun(const std::string& result) {
  const std::map<std::string, std::string> runs = {
      {"would convert", "converted"}, {"would undo", "undone"}, {"would fail", "failed"}};
  const auto run = runs.find(result);
  return run == runs.end() ? result : run->second;
}

// The PC: its folder of files, the program run on them as from the command line, and what the
// runs so far left to hold later runs to.
class Pc {
 public:
  explicit Pc(const Start& start) {
    WriteBytes(folder_ / kOldMenu, kOldMenus.at(start.oldMenu));
    if (const auto& configuration = kConfigurations.at(start.configuration)) {
      WriteBytes(folder_ / kConfiguration, *configuration);
    }
    if (start.otherMenuFile) {
      WriteBytes(folder_ / kNewMenu, kOtherMenuFile);
    }
  }

  std::string Path(const char* name) const { return folder_ / name; }

  Files Snapshot() const {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
      files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    }
    return files;
  }

  // Runs the program with `options` on this PC's files, logging to a folder of its own.
  Ended Run(std::vector<std::string> options) {
    const std::string logPath = logFolder_ / "shiftlet.log";
    options.insert(options.end(),
                   {"--source", Path(kOldMenu), "--destination", Path(kNewMenu), "--log", logPath});
    std::ostringstream out;
    std::ostringstream err;
    StreamRunOutput output(out, err);
    Ended ended;
    ended.status =
        RunFromCommandLine(platform_, ParseCommandLine(options, false), "shiftlet", output);
    ended.said = out.str() + err.str();
    // One line of five fields separated by tabs: time, source, destination, result, reason.
    const std::string log = ReadBytes(logPath);
    const std::string line = log.substr(logRead_);
    logRead_ = log.size();
    std::vector<std::string> fields(1);
    for (const char c : line) {
      if (c == '\t') {
        fields.emplace_back();
      } else {
        fields.back().push_back(c);
      }
    }
    Require(fields.size() == 5 && line.find('\n') == line.size() - 1,
            "the run logged one line of five fields: " + Quoted(line));
    ended.result = fields[3];
    return ended;
  }

  // The options of the last run, while it ended 0 and only checks came after it.
  std::optional<std::vector<std::string>> lastRunOk;
  // The files before the conversion an undo would take back, while nothing was edited since.
  std::optional<Files> beforeConversion;

  // A person or Velmora 1.1 changed a file: what the runs left to hold holds no more.
  void Edited() {
    lastRunOk.reset();
    beforeConversion.reset();
  }

 private:
  TempFolder folder_;
  TempFolder logFolder_;
  std::unique_ptr<FileLayer> files_ = MakeSystemFileLayer();
  testing::ScriptedPlatform platform_{*files_};
  std::size_t logRead_ = 0;
};

// (8), after every step.
void HoldsConfigurationFields(const Model& model, const Files& files) {
  const auto configuration = files.find(kConfiguration);
  Require(model.configuration == (configuration != files.end()),
          model.configuration ? "(8) default.qcf is gone" : "(8) default.qcf was made");
  if (configuration == files.end()) {
    return;
  }
  std::vector<std::string> fields;
  try {
    fields = FieldsOf(configuration->second, 3);
  } catch (const ConversionFailure& failure) {
    RC_FAIL("(8) default.qcf " + Quoted(configuration->second) +
            " does not read: " + failure.what());
  }
  Require(fields[1] == model.second && fields[2] == model.third,
          "(8) default.qcf " + Quoted(configuration->second) + " reads back \"" + fields[1] +
              "\", \"" + fields[2] + "\", not \"" + model.second + "\", \"" + model.third + "\"");
}

// One run after its check, as a deployment makes them: the files before and after, and how the
// run ended.
struct Step {
  Files before;
  Files after;
  Ended ended;
};

Step CheckThenRun(Pc& pc, const std::vector<std::string>& check,
                  const std::vector<std::string>& run) {
  Step step;
  step.before = pc.Snapshot();
  const Ended checked = pc.Run(check);
  const std::string checkChanged = Changes(step.before, pc.Snapshot());
  Require(checkChanged.empty(), "(1) the check changed files: " + checkChanged);
  step.ended = pc.Run(run);
  step.after = pc.Snapshot();
  Require(checked.status == step.ended.status && AsRun(checked.result) == step.ended.result,
          "(1) the check ended " + std::to_string(checked.status) + " \"" + checked.result +
              "\", the run " + std::to_string(step.ended.status) + " \"" + step.ended.result +
              "\"\ncheck: " + checked.said + "run: " + step.ended.said);
  const std::string changed = Changes(step.before, step.after);
  Require(pc.lastRunOk != run || changed.empty(),
          "(2) the same run again changed files: " + changed + "\nrun: " + step.ended.said);
  pc.lastRunOk = step.ended.status == 0 ? std::optional(run) : std::nullopt;
  return step;
}

// (4), for a run without --replace.
void KeepsChangedMenuFile(const Model& model, const Step& step) {
  const auto before = step.before.find(kNewMenu);
  if (before == step.before.end() || before->second == ConversionOf(model.oldMenu)) {
    return;
  }
  const auto after = step.after.find(kNewMenu);
  Require(after != step.after.end() && after->second == before->second,
          std::string("(4) a menu file that differs from the conversion was ") +
              (after == step.after.end() ? "removed" : "replaced") + "\nrun: " + step.ended.said);
}

// (5).
void KeepsBackup(const Step& step, bool undo) {
  const auto before = step.before.find(kBackup);
  const auto after = step.after.find(kBackup);
  const auto configuration = step.after.find(kConfiguration);
  if (before != step.before.end()) {
    if (after != step.after.end()) {
      Require(after->second == before->second,
              "(5) the backup was rewritten: " + Quoted(before->second) + " became " +
                  Quoted(after->second));
    } else {
      Require(undo && configuration != step.after.end() && configuration->second == before->second,
              "(5) the backup " + Quoted(before->second) +
                  " was removed, and default.qcf does not hold its bytes" +
                  "\nrun: " + step.ended.said);
    }
  } else if (after != step.after.end()) {
    const auto was = step.before.find(kConfiguration);
    Require(
        !undo && was != step.before.end() && after->second == was->second,
        "(5) a backup " + Quoted(after->second) + " was made that is not default.qcf as it was");
  }
}

// Whether an undo can tell, from the files a conversion left, every file as it was before: not
// where default.qcf named the new menu file already, where the new menu file held the conversion
// already, or where a backup was there already. An earlier undo keeps the backup while
// default.qcf has changed since; an undo that gives its bytes back whole removes it, as it then
// holds nothing default.qcf lacks, and cannot tell it from the backup of this conversion.
bool UndoCanTell(const Model& model, const Files& before) {
  const auto menuFile = before.find(kNewMenu);
  return FirstFieldOf(before, kConfiguration) != kNewMenu &&
         (menuFile == before.end() || menuFile->second != ConversionOf(model.oldMenu)) &&
         before.find(kBackup) == before.end();
}

using FleetCommand = rc::state::Command<Model, Pc>;

// `--check`, then `--quiet`, each with `--replace` or without.
class Convert final : public FleetCommand {
 public:
  void run(const Model& model, Pc& pc) const override {
    const Step step = CheckThenRun(pc, Options("--check"), Options("--quiet"));
    if (FirstFieldOf(step.before, kConfiguration) == kNewMenu) {
      Files after;
      if (const auto configuration = step.after.find(kConfiguration);
          configuration != step.after.end()) {
        after.insert(*configuration);
      }
      const std::string changed =
          Changes({{kConfiguration, step.before.at(kConfiguration)}}, after);
      Require(changed.empty(),
              "(3) a quiet run changed default.qcf, which named the new menu file: " + changed +
                  "\nrun: " + step.ended.said);
    }
    if (!replace_) {
      KeepsChangedMenuFile(model, step);
    }
    KeepsBackup(step, false);
    HoldsConfigurationFields(model, step.after);

    const auto menuBefore = step.before.find(kNewMenu);
    const bool replacedOther =
        menuBefore != step.before.end() &&
        (step.after.count(kNewMenu) == 0 || step.after.at(kNewMenu) != menuBefore->second);
    if (Changes(step.before, step.after).empty()) {
      return;
    }
    if (step.ended.status == 0 && !replacedOther) {
      if (!pc.beforeConversion) {
        pc.beforeConversion = step.before;
      }
    } else {
      pc.beforeConversion.reset();  // no undo gives back a file replaced
    }
  }

  void show(std::ostream& os) const override {
    const char* replace = replace_ ? " --replace" : "";
    os << "--check" << replace << ", then --quiet" << replace;
  }

 private:
  std::vector<std::string> Options(const char* mode) const {
    return replace_ ? std::vector<std::string>{mode, "--replace"} : std::vector<std::string>{mode};
  }

  bool replace_ = *Choice(2) == 1;
};

// `--check --undo`, then `--undo`.
class Undo final : public FleetCommand {
 public:
  void run(const Model& model, Pc& pc) const override {
    const std::optional<Files> beforeConversion = pc.beforeConversion;
    const Step step = CheckThenRun(pc, {"--check", "--undo"}, {"--undo"});
    const std::string named = FirstFieldOf(step.after, kConfiguration);
    Require(step.before.count(named) == 0 || step.after.count(named) == 1,
            "(7) the undo removed " + named + ", which default.qcf names\nrun: " + step.ended.said);
    if (beforeConversion && UndoCanTell(model, *beforeConversion)) {
      const std::string changed = Changes(*beforeConversion, step.after);
      Require(step.ended.status == 0 && changed.empty(),
              "(6) after the conversion and its undo (" + std::to_string(step.ended.status) +
                  "), from before the conversion: " + changed + "\nrun: " + step.ended.said);
    }
    KeepsChangedMenuFile(model, step);
    KeepsBackup(step, true);
    HoldsConfigurationFields(model, step.after);
    pc.beforeConversion.reset();
  }

  void show(std::ostream& os) const override { os << "--check --undo, then --undo"; }
};

// Velmora 1.1 saves the new menu file with a line added, or one changed.
class EditMenuFile final : public FleetCommand {
 public:
  void run(const Model& /*model*/, Pc& pc) const override {
    const std::string path = pc.Path(kNewMenu);
    if (!std::filesystem::exists(path)) {
      return;
    }
    std::string bytes = ReadBytes(path);
    if (append_) {
      bytes += "\"Added\",0,0,0,\"\",0,0,0\r\n";
    } else {
      bytes.insert(0, "9");
    }
    WriteBytes(path, bytes);
    pc.Edited();
  }

  void show(std::ostream& os) const override {
    os << "Velmora 1.1 " << (append_ ? "adds a line to " : "changes the first line of ")
       << kNewMenu;
  }

 private:
  bool append_ = *Choice(2) == 1;
};

// Velmora 1.1 saves default.qcf in its own form, naming the menu file it named.
class RewriteConfiguration final : public FleetCommand {
 public:
  enum Form { kQuoted, kLineAdded, kComma };

  void checkPreconditions(const Model& model) const override { RC_PRE(model.configuration); }

  void apply(Model& model) const override {
    if (form_ == kComma) {
      model.second = "classic, dark";
    }
  }

  void run(const Model& model, Pc& pc) const override {
    const std::string path = pc.Path(kConfiguration);
    const std::string first = "\"" + FieldsOf(ReadBytes(path), 1)[0] + "\"";
    const Model after = nextState(model);
    const std::string second = "\"" + after.second + "\"";
    const std::string third = "\"" + after.third + "\"";
    if (form_ == kComma) {
      WriteBytes(path, first + "," + second + "," + third + "\r\n");
    } else {
      WriteBytes(path, first + "\r\n" + second + "\r\n" + third + "\r\n" +
                           (form_ == kLineAdded ? "\"toolbar=1\"\r\n" : ""));
    }
    pc.Edited();
  }

  void show(std::ostream& os) const override {
    constexpr const char* kForms[] = {"each field quoted on a line of its own",
                                      "quoted, with a fourth line added",
                                      "quoted on one line, the second field \"classic, dark\""};
    os << "Velmora 1.1 rewrites default.qcf: " << kForms[form_];
  }

 private:
  Form form_ = static_cast<Form>(*Choice(3));
};

// Someone removes the backup.
class RemoveBackup final : public FleetCommand {
 public:
  void run(const Model& /*model*/, Pc& pc) const override {
    if (std::filesystem::remove(pc.Path(kBackup))) {
      pc.Edited();
    }
  }

  void show(std::ostream& os) const override { os << "someone removes " << kBackup; }
};

// The old menu file becomes another.
class ChangeOldMenu final : public FleetCommand {
 public:
  void checkPreconditions(const Model& model) const override { RC_PRE(menu_ != model.oldMenu); }
  void apply(Model& model) const override { model.oldMenu = menu_; }

  void run(const Model& /*model*/, Pc& pc) const override {
    WriteBytes(pc.Path(kOldMenu), kOldMenus.at(menu_));
    pc.Edited();
  }

  void show(std::ostream& os) const override { os << kOldMenu << " becomes old menu " << menu_; }

 private:
  std::size_t menu_ = *Choice(kOldMenus.size());
};

RC_GTEST_PROP(FleetSequenceTest, EveryPromiseHoldsAfterEveryStep, ()) {
  const Start start = *rc::gen::construct<Start>(
      Choice(kConfigurations.size()), rc::gen::map(Choice(2), [](std::size_t c) { return c == 1; }),
      Choice(kOldMenus.size()));
  Model model;
  model.oldMenu = start.oldMenu;
  model.configuration = kConfigurations.at(start.configuration).has_value();
  // Up to 21 steps at RapidCheck's full size: the faults worth finding take a few, and each run
  // after its check starts the program twice.
  const auto steps = *rc::gen::scale(
      0.2, rc::state::gen::commands(
               model,
               rc::state::gen::execOneOfWithArgs<Convert, Undo, EditMenuFile, RewriteConfiguration,
                                                 RemoveBackup, ChangeOldMenu>()));
  Pc pc(start);
  rc::state::runAll(steps, model, pc);
}

}  // namespace
}  // namespace shiftlet
