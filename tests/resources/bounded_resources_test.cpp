// Old files built to exhaust the program: one enormous field, a million empty fields, a 302nd item
// that starts after 300 MB. The built program must end each with the failure message, in time
// linear in the file's size, and with a peak memory of at most about twice the file's size. Each
// case runs at full size and at a quarter of it, so that a cost growing faster than the size shows
// in the ratio of their times.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "blackbox/program_run.h"
#include "driver/messages.h"
#include "support/temp_folder.h"

namespace {

namespace msg = shiftlet::messages;
using shiftlet::testing::ListFolder;
using shiftlet::testing::ProgramRun;
using shiftlet::testing::RunProgram;
using shiftlet::testing::TempFolder;

constexpr std::uint64_t kMB = 1024 * 1024;
// Beyond the file's share: the program itself, its libraries and stack.
constexpr std::uint64_t kFixedBytes = 16 * kMB;

// Writes a file piece by piece, so that no file-sized string is ever built here (this process's
// memory would otherwise be counted in the program's, which starts as a copy of it).
class StreamedFile {
 public:
  explicit StreamedFile(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}
  ~StreamedFile() { out_.close(); }

  StreamedFile& Put(const std::string& bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return *this;
  }
  StreamedFile& Repeat(char c, std::uint64_t count) {
    const std::string block(static_cast<std::size_t>(std::min<std::uint64_t>(count, kMB)), c);
    while (count > 0) {
      const auto part = std::min<std::uint64_t>(count, block.size());
      out_.write(block.data(), static_cast<std::streamsize>(part));
      count -= part;
    }
    return *this;
  }
  bool Good() { return out_.flush().good(); }

 private:
  std::ofstream out_;
};

struct Case {
  const char* name;
  std::uint64_t size;   // about, at full size
  double memoryFactor;  // peak memory allowed per byte of the file
  std::function<void(StreamedFile&, std::uint64_t)> write;
  bool converts = false;  // a valid old file: the run must succeed, its new file as large
};

// Where the field's bytes have nowhere to go but a 16-bit number, nothing may be copied; a text
// field is copied once into its item.
const Case kCases[] = {
    {"one enormous number as the header", 200 * kMB, 1.1,
     [](StreamedFile& file, std::uint64_t size) { file.Repeat('7', size); }},
    {"one enormous text as an item's text", 200 * kMB, 2.2,
     [](StreamedFile& file, std::uint64_t size) { file.Put("1\r\n\"").Repeat('t', size); }},
    {"one enormous number as an item's last field", 200 * kMB, 2.2,
     [](StreamedFile& file, std::uint64_t size) {
       file.Put("1\r\n\"Open\",0,0,\"open\",").Repeat('9', size);
     }},
    {"a million empty fields", 1'000'000, 2.2,
     [](StreamedFile& file, std::uint64_t size) { file.Repeat(',', size); }},
    {"a 302nd item starting after 300 MB", 300 * kMB, 2.2,
     [](StreamedFile& file, std::uint64_t size) {
       const std::uint64_t text = size / 301;
       file.Put("1\r\n");
       for (int item = 0; item < 301; ++item) {
         file.Put("\"").Repeat(static_cast<char>('a' + item % 26), text).Put("\",0,0,\"v\",0\r\n");
       }
       file.Put("\"One too many\",0,0,\"v\",0\r\n");
     }},
    // Written out, the enormous text must go from its item to the file without further copies.
    {"one enormous text converted", 200 * kMB, 2.2,
     [](StreamedFile& file, std::uint64_t size) {
       file.Put("1\r\n\"").Repeat('t', size).Put("\",0,0,\"v\",0\r\n");
     },
     true},
};

// Names the case in gtest's messages, which would otherwise dump its bytes.
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

struct Figures {
  std::uint64_t size = 0;
  double seconds = 0;
  std::uint64_t peak = 0;
};

class BoundedResourcesTest : public ::testing::TestWithParam<Case> {
 protected:
  // Writes the case at `size`, runs the program on it with every default taken, and checks that
  // it failed at the old file and left nothing behind, or, for a valid file, that it converted.
  Figures RunCase(std::uint64_t size) {
    TempFolder work;
    TempFolder io;
    {
      StreamedFile file(work / "menu.qof");
      GetParam().write(file, size);
      EXPECT_TRUE(file.Good()) << "cannot write the old file";
    }
    Figures figures;
    figures.size = std::filesystem::file_size(work.Path() / "menu.qof");

    const ProgramRun run =
        RunProgram(SHIFTLET_PROGRAM, work.Path().string(), io.Path().string(), "\n\n\n\n\n\n\n");
    EXPECT_EQ(run.err, "");
    if (GetParam().converts) {
      EXPECT_EQ(run.status, 0);
      EXPECT_NE(run.out.find(msg::kSuccess), std::string::npos) << run.out;
      EXPECT_EQ(ListFolder(work.Path()), "menu.qof migrated.menu.qnf");
      EXPECT_GT(std::filesystem::file_size(work.Path() / "migrated.menu.qnf"), figures.size);
    } else {
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.out.find(msg::kFailure), std::string::npos) << run.out;
      EXPECT_EQ(run.out.find(msg::kSelectDestination), std::string::npos) << run.out;
      EXPECT_EQ(ListFolder(work.Path()), "menu.qof");
    }
    figures.seconds = run.seconds;
    figures.peak = run.peakBytes;
    return figures;
  }

  void Report(const char* label, const Figures& f) {
    const double mb = static_cast<double>(f.size) / kMB;
    const double peakMb = static_cast<double>(f.peak) / kMB;
    char line[200];
    std::snprintf(line, sizeof line, "%-7s %9.1f MB %7.3f s %8.1f MB/s  peak %7.1f MB (%.2fx)",
                  label, mb, f.seconds, mb / std::max(f.seconds, 1e-6), peakMb,
                  peakMb / std::max(mb, 1e-6));
    std::printf("[figures] %s: %s\n", GetParam().name, line);
    RecordProperty(std::string(label) + "_figures", line);
  }
};

TEST_P(BoundedResourcesTest, EndsInLinearTimeAndBoundedMemory) {
  const Case& c = GetParam();
  const Figures quarter = RunCase(c.size / 4);
  const Figures full = RunCase(c.size);
  Report("quarter", quarter);
  Report("full", full);

  const auto allowed = [&](const Figures& f) {
    return static_cast<std::uint64_t>(c.memoryFactor * static_cast<double>(f.size)) + kFixedBytes;
  };
  EXPECT_LE(quarter.peak, allowed(quarter));
  EXPECT_LE(full.peak, allowed(full));
  // Four times the bytes should take about four times as long; a quadratic cost takes sixteen.
  // The slack is for a loaded machine and the program's fixed start-up time.
  EXPECT_LE(full.seconds, 8 * quarter.seconds + 0.5);
  // Far below any disk or memory speed, even unoptimised, so only a cost out of all proportion
  // fails it.
  EXPECT_LE(full.seconds, 2.0 + static_cast<double>(full.size) / (5 * kMB));
}

INSTANTIATE_TEST_SUITE_P(OldFiles, BoundedResourcesTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) {
                           std::string name;
                           for (const char* p = param.param.name; *p != '\0'; ++p) {
                             const bool keep = std::isalnum(static_cast<unsigned char>(*p)) != 0;
                             if (keep) {
                               name += *p;
                             } else if (!name.empty() && name.back() != '_') {
                               name += '_';
                             }
                           }
                           return name;
                         });

}  // namespace
