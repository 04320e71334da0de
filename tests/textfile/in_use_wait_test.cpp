// How long a file in use is waited for: the one table every front-end takes its waits from.

#include "textfile/in_use_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <vector>

namespace shiftlet {
namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

TEST(InUseWaitTest, DelaysDoubleUpToTheLongestStepAndEndAtTheTotal) {
  std::vector<milliseconds> unattended = {100ms, 200ms, 400ms, 800ms, 1600ms};
  unattended.insert(unattended.end(), 13, 2000ms);
  unattended.push_back(900ms);
  const struct {
    const char* name;
    InUseWait wait;
    std::vector<milliseconds> delays;
    milliseconds total;
  } rows[] = {
      {"dialogue", InUseWait::Dialogue(), {50ms, 100ms, 200ms, 400ms, 800ms, 450ms}, 2s},
      {"unattended", InUseWait::Unattended(), unattended, 30s},
      {"--wait 2", InUseWait::Unattended(2s), {100ms, 200ms, 400ms, 800ms, 500ms}, 2s},
      {"--wait 0", InUseWait::Unattended(0s), {}, 0s},
      {"--wait -1", InUseWait::Unattended(-1s), {}, 0s},
      {"none", InUseWait::None(), {}, 0s},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.delays, row.wait.Delays());
    EXPECT_EQ(row.total, row.wait.Total());
    const std::vector<milliseconds> delays = row.wait.Delays();
    EXPECT_EQ(row.total, std::accumulate(delays.begin(), delays.end(), 0ms));
  }
}

}  // namespace
}  // namespace shiftlet
