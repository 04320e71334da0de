#pragma once

#include <ostream>
#include <string>

namespace shiftlet {

// What a text the command line asked for says of the old file, so that a box can show it at a
// glance: nothing (help, the version), or a check's verdict.
enum class ShownVerdict {
  kNone,
  kConverts,
  kConvertsWithWarnings,
  kDoesNotConvert,
};

// Where the words of a run from the command line go: the front-end's to say. A terminal prints
// them; a program without one shows a check in boxes and a run nobody watches nowhere, as such a
// run reports through its exit status and its log alone. Every text comes whole, line end
// included.
class RunOutput {
 public:
  virtual ~RunOutput() = default;
  // The run's line: what it did, or would do.
  virtual void Line(const std::string& text) = 0;
  // An "error:" or "warning:" line.
  virtual void Problem(const std::string& text) = 0;
  // A check's report: `whole` where there is room for it, else `boxText` with the icon of
  // `verdict`.
  virtual void Report(const std::string& whole, const std::string& boxText,
                      ShownVerdict verdict) = 0;
  // The run is over, with this verdict: what is still to be shown is shown.
  virtual void End(ShownVerdict /*verdict*/) {}
};

// A terminal's output: lines and reports on `out`, problems on `err`, each as it comes.
class StreamRunOutput final : public RunOutput {
 public:
  StreamRunOutput(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void Line(const std::string& text) override { out_ << text << std::flush; }
  void Problem(const std::string& text) override { err_ << text << std::flush; }
  void Report(const std::string& whole, const std::string& /*boxText*/,
              ShownVerdict /*verdict*/) override {
    out_ << whole << std::flush;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace shiftlet
