// Peak memory of the check against the quiet run on the same old file: one item whose text is
// 200 MB (or the number of MB given as the first argument). The built program (or the one given as
// the second, to compare builds) runs twice as a child of this one, --check and then --quiet, each
// reaped with wait4, whose peak resident memory is that run's alone. The check holds the items and
// the new file it writes in memory once each, so its peak should stay within about 1.1 times the
// quiet run's.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "blackbox/program_run.h"
#include "support/temp_folder.h"

namespace {

using shiftlet::testing::ProgramRun;
using shiftlet::testing::RunProgram;
using shiftlet::testing::TempFolder;

constexpr std::uint64_t kMB = 1024 * 1024;

// Written a block at a time: a file-sized string here would count in the children, which start as
// copies of this process.
bool WriteOneItemFile(const std::string& path, std::uint64_t textBytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::string block(kMB, 't');
  out << "1\r\n\"";
  for (std::uint64_t left = textBytes; left > 0;) {
    const std::uint64_t part = left < kMB ? left : kMB;
    out.write(block.data(), static_cast<std::streamsize>(part));
    left -= part;
  }
  out << "\",0,0,\"v\",0\r\n";
  return out.flush().good();
}

double Mebibytes(std::uint64_t bytes) {
  return static_cast<double>(bytes) / static_cast<double>(kMB);
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t megabytes = argc > 1 ? std::stoull(argv[1]) : 200;
  const std::string program = argc > 2 ? argv[2] : SHIFTLET_PROGRAM;
  TempFolder work;
  TempFolder io;
  if (!WriteOneItemFile(work / "menu.qof", megabytes * kMB)) {
    std::fprintf(stderr, "cannot write %s\n", (work / "menu.qof").c_str());
    return 1;
  }
  const std::vector<std::string> paths = {"--source", "menu.qof", "--destination", "new.qnf"};
  std::vector<std::string> check = {"--check"};
  check.insert(check.end(), paths.begin(), paths.end());
  std::vector<std::string> quiet = {"--quiet"};
  quiet.insert(quiet.end(), paths.begin(), paths.end());
  const std::string folder = work.Path().string();
  const ProgramRun checked = RunProgram(program, folder, io.Path().string(), "", check);
  const ProgramRun converted = RunProgram(program, folder, io.Path().string(), "", quiet);

  std::printf("one item of %llu MB\n", static_cast<unsigned long long>(megabytes));
  std::printf("%-8s %6s %12s %9s\n", "run", "status", "peak", "time");
  for (const auto& [name, run] : {std::pair{"--check", &checked}, {"--quiet", &converted}}) {
    std::printf("%-8s %6d %8.1f MiB %7.2f s\n", name, run->status, Mebibytes(run->peakBytes),
                run->seconds);
  }
  std::printf("check / quiet peak: %.2fx\n",
              Mebibytes(checked.peakBytes) / Mebibytes(converted.peakBytes));
  return checked.status == 0 && converted.status == 0 ? 0 : 1;
}
