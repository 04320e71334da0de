// How fast old menu files are read and converted: the field reader against a plain read of the
// same bytes through the same file layer, and a whole conversion of a file of 301 items. The files
// are made at start-up in a temporary folder and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "menu/menu_files.h"
#include "platform/system_file_layer.h"
#include "textfile/field_reader.h"

namespace {

namespace fs = std::filesystem;
using shiftlet::FieldReader;
using shiftlet::FileLayer;

constexpr std::uint64_t kLargeFileBytes = 64ull << 20;

struct Files {
  fs::path folder;
  std::string large;  // menu-shaped, far more than 301 items
  std::string menu;   // 301 items, as the program reads them
  std::string converted;
};
Files g_files;
std::unique_ptr<FileLayer> g_layer;

// One item as menu files hold them: a quoted text of 5 to 30 characters, a kind, a menu number, a
// short quoted value and an extra number.
std::string RandomItem(std::mt19937& random) {
  static const std::string kLetters = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ.&";
  std::string text(5 + random() % 26, ' ');
  for (char& c : text) {
    c = kLetters[random() % kLetters.size()];
  }
  std::string value;
  const auto kind = random() % 5;
  if (kind == 1) {
    value = std::to_string(1 + random() % 300);
  } else {
    value.assign(3 + random() % 8, 'v');
  }
  return "\"" + text + "\"," + std::to_string(kind) + "," + std::to_string(random() % 40) + ",\"" +
         value + "\"," + std::to_string(random() % 100) + "\r\n";
}

void WriteMenu(const std::string& path, std::uint64_t bytes, int items) {
  std::mt19937 random(1);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string chunk = "70\r\n";
  std::uint64_t written = 0;
  // A count of items when one is given, else items until the size is reached.
  for (int item = 0; items > 0 ? item < items : written + chunk.size() < bytes; ++item) {
    chunk += RandomItem(random);
    if (chunk.size() > (1 << 20)) {
      out << chunk;
      written += chunk.size();
      chunk.clear();
    }
  }
  out << chunk;
  if (!out.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

std::uint64_t SizeOf(const std::string& path) {
  return fs::file_size(path);
}

// The bytes read whole, as the field reader reads them before it parses: one buffer of the file's
// size, filled by the same file layer.
void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) {
    auto file = g_layer->OpenForReading(g_files.large);
    std::string bytes;
    const auto hint = static_cast<std::size_t>(file->SizeHint());
    bytes.resize(hint + 1);
    std::size_t used = 0;
    while (const std::size_t got = file->Read(bytes.data() + used, bytes.size() - used)) {
      used += got;
    }
    file->Close();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(SizeOf(g_files.large)));
}

// The same bytes read field by field into the targets the menu reader gives them.
void BM_FieldReader(benchmark::State& state) {
  for (auto _ : state) {
    FieldReader reader(*g_layer, g_files.large);
    std::int16_t header = 0;
    reader.ReadFields({&header});
    std::string text;
    std::int16_t kind = 0;
    std::int16_t menuNo = 0;
    std::string value;
    shiftlet::LooseValue extra;
    std::int64_t items = 0;
    while (!reader.AtEnd()) {
      reader.ReadFields({&text, &kind, &menuNo, &value, &extra});
      ++items;
    }
    reader.Close();
    benchmark::DoNotOptimize(items);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(SizeOf(g_files.large)));
}

// What the program does between the two pickers and the configuration: read the old file, write
// the new one (flushed to the disk and renamed into place). The new file is removed first, outside
// the time, as a file that holds the conversion already is left as it is.
void BM_ConvertMenuOf301Items(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(g_files.converted);
    state.ResumeTiming();
    shiftlet::MenuTables tables;
    shiftlet::ReadOldMenuFile(tables, *g_layer, g_files.menu);
    shiftlet::WriteNewMenuFile(tables, *g_layer, g_files.converted);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(SizeOf(g_files.menu)));
}

// The same run again, as a deployment makes it at every boot: the new file holds the conversion
// already, so it is read and compared, and nothing is written.
void BM_ConvertMenuOf301ItemsAgain(benchmark::State& state) {
  {
    shiftlet::MenuTables tables;
    shiftlet::ReadOldMenuFile(tables, *g_layer, g_files.menu);
    shiftlet::WriteNewMenuFile(tables, *g_layer, g_files.converted);
  }
  for (auto _ : state) {
    shiftlet::MenuTables tables;
    shiftlet::ReadOldMenuFile(tables, *g_layer, g_files.menu);
    if (shiftlet::WriteNewMenuFile(tables, *g_layer, g_files.converted).written) {
      state.SkipWithError("the conversion was written again");
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(SizeOf(g_files.menu)));
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FieldReader)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ConvertMenuOf301Items)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertMenuOf301ItemsAgain)->Unit(benchmark::kMicrosecond);

// The console output, and the best rate of each benchmark kept for the closing ratio.
class RateKeeper : public benchmark::ConsoleReporter {
 public:
  RateKeeper() : ConsoleReporter(OO_Tabular) {}  // no colours: the output goes to logs
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto rate = run.counters.find("bytes_per_second");
      if (rate != run.counters.end() && run.run_type == Run::RT_Iteration) {
        double& best = rates[run.run_name.function_name];
        best = std::max(best, static_cast<double>(rate->second));
      }
    }
  }
  std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  g_files.folder = fs::temp_directory_path() / ("shiftlet-bench-" + std::to_string(::getpid()));
  fs::create_directories(g_files.folder);
  g_files.large = (g_files.folder / "large.qof").string();
  g_files.menu = (g_files.folder / "menu.qof").string();
  g_files.converted = (g_files.folder / "menu.qnf").string();
  g_layer = shiftlet::MakeSystemFileLayer();
  int status = 0;
  try {
    WriteMenu(g_files.large, kLargeFileBytes, 0);
    WriteMenu(g_files.menu, 0, 301);
    std::printf("large file: %.1f MB; 301-item file: %.1f KB\n",
                static_cast<double>(SizeOf(g_files.large)) / (1 << 20),
                static_cast<double>(SizeOf(g_files.menu)) / 1024);

    RateKeeper reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.rates["BM_RawRead"];
    const double fields = reporter.rates["BM_FieldReader"];
    if (raw > 0 && fields > 0) {
      std::printf("raw read %.0f MB/s, field reader %.0f MB/s: the reader takes %.2fx the time\n",
                  raw / (1 << 20), fields / (1 << 20), raw / fields);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "shiftlet_bench: %s\n", error.what());
    status = 1;
  }
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(g_files.folder, ignored);
  return status;
}
