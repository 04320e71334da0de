#pragma once

#include <chrono>
#include <functional>
#include <vector>

namespace shiftlet {

// Waits for the given time; tests give one that only notes it.
using Sleeper = std::function<void(std::chrono::milliseconds)>;

// How long a file call waits for a file another program holds (a running Velmora, a virus scanner)
// before it gives up: the call is tried at once, then again after each delay, the delays doubling
// from the first up to the longest, until they add up to the total (the last one shortened to
// end there). Nothing waits when the first try succeeds.
class InUseWait {
 public:
  // A person is watching: about 2 s in all (0, 50, 100, 200, 400, 800 ms...), then the dialogue
  // asks whether to try again.
  static InUseWait Dialogue();
  // Nobody is watching: from 100 ms, at most 2 s a step, 30 s in all.
  static InUseWait Unattended();
  // The same steps up to `total` (--wait SECONDS); 0 or less is no wait.
  static InUseWait Unattended(std::chrono::seconds total);
  // One try only.
  static InUseWait None() { return InUseWait({}, {}, {}); }

  std::chrono::milliseconds Total() const { return total_; }
  // The delays before each retry in turn.
  std::vector<std::chrono::milliseconds> Delays() const;

 private:
  InUseWait(std::chrono::milliseconds first, std::chrono::milliseconds longest,
            std::chrono::milliseconds total)
      : first_(first), longest_(longest), total_(total) {}

  // The delay after `previous` (0 before the first retry) once `waited` has passed: 0 when the
  // wait is over.
  std::chrono::milliseconds Next(std::chrono::milliseconds previous,
                                 std::chrono::milliseconds waited) const;
  friend bool RetryWhileInUse(const InUseWait& wait, const Sleeper& sleep,
                              const std::function<bool()>& attempt);

  std::chrono::milliseconds first_;
  std::chrono::milliseconds longest_;
  std::chrono::milliseconds total_;
};

// Calls `attempt` until it returns true (done), sleeping `wait`'s delays between tries while it
// returns false (the file is in use). Returns false when the last try still found it in use. A
// failure `attempt` throws ends the tries at once.
bool RetryWhileInUse(const InUseWait& wait, const Sleeper& sleep,
                     const std::function<bool()>& attempt);

}  // namespace shiftlet
