#include "textfile/in_use_wait.h"

#include <algorithm>

namespace shiftlet {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

// The one table of waits. Windows' own advice for a file held a moment is a few short retries;
// the dialogue then asks, and an unattended run waits longer, as nobody can be asked.
InUseWait InUseWait::Dialogue() {
  return InUseWait(50ms, 2s, 2s);
}

InUseWait InUseWait::Unattended() {
  return Unattended(30s);
}

InUseWait InUseWait::Unattended(std::chrono::seconds total) {
  return InUseWait(100ms, 2s, std::max(milliseconds(total), 0ms));
}

milliseconds InUseWait::Next(milliseconds previous, milliseconds waited) const {
  if (waited >= total_ || first_ <= 0ms) {
    return 0ms;
  }
  const milliseconds step = previous <= 0ms ? first_ : std::min(previous * 2, longest_);
  return std::min(step, total_ - waited);
}

std::vector<milliseconds> InUseWait::Delays() const {
  std::vector<milliseconds> delays;
  milliseconds waited = 0ms;
  for (milliseconds delay = Next(0ms, waited); delay > 0ms; delay = Next(delay, waited)) {
    delays.push_back(delay);
    waited += delay;
  }
  return delays;
}

bool RetryWhileInUse(const InUseWait& wait, const Sleeper& sleep,
                     const std::function<bool()>& attempt) {
  if (attempt()) {
    return true;
  }
  milliseconds waited = 0ms;
  for (milliseconds delay = wait.Next(0ms, waited); delay > 0ms; delay = wait.Next(delay, waited)) {
    sleep(delay);
    waited += delay;
    if (attempt()) {
      return true;
    }
  }
  return false;
}

}  // namespace shiftlet
