#include "textfile/memory_file.h"

#include <gtest/gtest.h>

#include <string>

namespace shiftlet {
namespace {

// Pieces of every size, small ones gathered and large ones on their own, read back in reads that
// end anywhere: the bytes come back as written, in order, and the file's size is theirs.
TEST(MemoryFileTest, ReadsBackWhatWasWrittenInAnyPiecesAndReads) {
  std::string expected;
  MemoryBytes bytes(std::string("70\r\n"));
  expected += "70\r\n";
  MemoryFile writer(bytes);
  for (const std::size_t size : {1U, 3U, 70'000U, 2U, 65'536U, 65'535U, 0U, 7U, 200'001U, 1U}) {
    std::string piece(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
      piece[i] = static_cast<char>('a' + (expected.size() + i) % 26);
    }
    writer.Write(piece.data(), piece.size());
    expected += piece;
  }
  EXPECT_EQ(expected.size(), bytes.Size());
  EXPECT_EQ(expected, bytes.Text());

  for (const std::size_t block : {1U, 7U, 65'536U, 1'000'000U}) {
    MemoryFile reader(bytes);
    EXPECT_EQ(expected.size(), reader.SizeHint());
    std::string read;
    std::string buffer(block, '\0');
    while (const std::size_t got = reader.Read(buffer.data(), buffer.size())) {
      read.append(buffer, 0, got);
    }
    EXPECT_EQ(expected, read) << "in reads of " << block;
  }
}

}  // namespace
}  // namespace shiftlet
