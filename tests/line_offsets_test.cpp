// SPDX-License-Identifier: MIT
#include "line_offsets/line_offsets.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

namespace lo = vantel::Line_offsets;
using vantel::Line_table;
using Entries = std::vector<std::int64_t>;

constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();

// Serves a text once, front to back, and cannot seek: a pipe.
class Pipe_buf : public std::streambuf {
 public:
  explicit Pipe_buf(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 private:
  std::string text_;
};

// A pipe whose device fails once its text is read.
struct Failing_buf : Pipe_buf {
  using Pipe_buf::Pipe_buf;
  int_type underflow() override { throw std::system_error(EIO, std::generic_category(), "dev"); }
};

TEST(LineOffsetsFromString, StartsAtZeroAndAddsTheOffsetPastEachLineFeed) {
  const struct {
    std::string text;
    Entries table;
  } cases[] = {
      {"", {0}},
      {"xy", {0}},
      {"a\nb", {0, 2}},
      {"a\n", {0, 2}},
      {"\n\n", {0, 1, 2}},
      {"a\r\nb", {0, 3}},  // a carriage return is ordinary text
      {"1\n2\n3\n4\n5\n6\n7", {0, 2, 4, 6, 8, 10, 12}},
      {std::string("a\0\nb", 4), {0, 3}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lo::from_string(c.text).to_vector(), c.table) << '"' << c.text << '"';
    EXPECT_EQ(Line_table::of_text(c.text).to_vector(), c.table) << '"' << c.text << '"';
  }
}

TEST(LineOffsetsQueries, ThreeLineTable) {
  const Line_table table{0, 3, 6};  // a, b, LF, c, d, LF
  EXPECT_EQ(lo::find_line_offset(table, 1), 0);
  EXPECT_EQ(lo::find_line_offset(table, 3), 6);
  EXPECT_EQ(lo::find_offset(table, 2, 1), 3);
  EXPECT_EQ(lo::find_offset(table, 2, 0), 2);  // the previous line's LF: columns are not checked
  const struct {
    std::int64_t offset, line, col;
  } cases[] = {{0, 1, 0}, {2, 1, 2}, {3, 2, 0}, {6, 3, 0}, {100, 3, 94}, {-2, 1, -2}};
  for (const auto& c : cases)
    EXPECT_EQ(lo::line_col_of_offset(table, c.offset), std::make_pair(c.line, c.col)) << c.offset;
}

TEST(LineOffsetsQueries, LinesOutsideTheTableAndEmptyTablesFail) {
  const Line_table table{0, 3, 6};
  for (const std::int64_t line : {std::int64_t{0}, std::int64_t{4}, min64, max64})
    EXPECT_THROW((void)lo::find_line_offset(table, line), std::out_of_range) << line;
  try {
    (void)lo::find_offset(table, 4, 1);
    FAIL() << "line 4 of 3 was found";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "line 4 is past the last line (3)");
  }
  EXPECT_THROW((void)lo::line_col_of_offset(Line_table{}, 0), std::out_of_range);
}

// Every ascending table of up to 7 entries drawn from 0..4 (repeats allowed),
// against a linear scan for the last entry not above the offset.
TEST(LineOffsetsQueries, LineColOfOffsetFindsTheLastEntryNotAboveTheOffset) {
  for (int n = 1; n <= 7; ++n) {
    Entries entries(static_cast<std::size_t>(n), 0);
    for (;;) {
      const Line_table table(entries);
      for (std::int64_t offset = -1; offset <= 5; ++offset) {
        std::size_t k = 0;
        for (std::size_t i = 0; i < entries.size(); ++i)
          if (entries[i] <= offset) k = i;
        EXPECT_EQ(lo::line_col_of_offset(table, offset),
                  std::make_pair(static_cast<std::int64_t>(k) + 1, offset - entries[k]))
            << ::testing::PrintToString(entries) << " offset " << offset;
      }
      // Next non-decreasing sequence over 0..4.
      int i = n - 1;
      while (i >= 0 && entries[static_cast<std::size_t>(i)] == 4) --i;
      if (i < 0) break;
      const std::int64_t v = entries[static_cast<std::size_t>(i)] + 1;
      for (int j = i; j < n; ++j) entries[static_cast<std::size_t>(j)] = v;
    }
  }
}

TEST(LineOffsetsQueries, SumsThatDoNotFitRaiseOverflow) {
  EXPECT_THROW((void)lo::find_offset(Line_table{max64}, 1, 2), std::overflow_error);
  EXPECT_THROW((void)lo::find_offset(Line_table{0}, 1, min64), std::overflow_error);
  EXPECT_EQ(lo::find_offset(Line_table{5}, 1, min64), min64 + 4);  // fits, though col - 1 does not
  EXPECT_EQ(lo::find_offset(Line_table{max64}, 1, 1), max64);
  EXPECT_THROW((void)lo::line_col_of_offset(Line_table{-1}, max64), std::overflow_error);
  EXPECT_THROW((void)lo::line_col_of_offset(Line_table{1}, min64), std::overflow_error);
}

// Lines of 0 to 120 bytes, with line feeds landing on and around each 16384
// byte block boundary for some of the sizes below.
std::string source_like(std::size_t size) {
  std::string text;
  std::uint32_t seed = 12345;
  while (text.size() < size) {
    seed = seed * 1103515245 + 12345;
    text.append((seed >> 16) % 121, 'x');
    text.push_back('\n');
  }
  text.resize(size);
  return text;
}

// The table by the plain definition: 0, then one past each line feed.
Entries one_byte_at_a_time(std::string_view text) {
  Entries table{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') table.push_back(static_cast<std::int64_t>(i + 1));
  return table;
}

// Texts whose bytes are line feeds with one chance in `one_in`.
std::string with_line_feeds(std::size_t size, std::uint32_t one_in, std::uint32_t seed) {
  std::string text(size, 'x');
  for (char& c : text) {
    seed = seed * 1103515245 + 12345;
    if ((seed >> 16) % one_in == 0) c = '\n';
  }
  return text;
}

constexpr lo::Scan every_scan[] = {lo::Scan::Widest, lo::Scan::Baseline, lo::Scan::Portable};

// Chunks are scanned many bytes at a time with the widest compares, with the
// baseline ones, and with none as on a processor without vector compares:
// every density of line feeds, every length around the chunk size and every
// start address give the same table.
TEST(LineOffsetsFromString, MatchesAByteByByteScanAtEveryLengthAndAlignment) {
  for (const std::uint32_t one_in : {1u, 2u, 3u, 8u, 64u, 1000u}) {
    const std::string text = with_line_feeds(400, one_in, one_in);
    for (std::size_t from = 0; from < 17; ++from)
      for (std::size_t size = 0; from + size <= text.size(); ++size) {
        const std::string_view view(text.data() + from, size);
        const Entries expected = one_byte_at_a_time(view);
        for (const lo::Scan how : every_scan)
          ASSERT_EQ(lo::from_string(view, how).to_vector(), expected)
              << "scan " << static_cast<int>(how) << ", one in " << one_in << ", from " << from
              << ", size " << size;
      }
  }
}

// Hundreds of thousands of lines move the table to storage of its own, grown
// several times over: the entries are the same.
TEST(LineOffsetsFromString, LargeTablesMatchAByteByByteScan) {
  for (const std::uint32_t one_in : {1u, 2u, 7u}) {
    const std::string text = with_line_feeds(std::size_t{3} << 20, one_in, 99);
    const Entries expected = one_byte_at_a_time(text);
    for (const lo::Scan how : every_scan)
      EXPECT_EQ(lo::from_string(text, how).to_vector(), expected)
          << "scan " << static_cast<int>(how) << ", one in " << one_in;
    std::istringstream stream(text);
    EXPECT_EQ(lo::from_chan(stream).to_vector(), expected) << "one in " << one_in;
  }
}

TEST(LineOffsetsFromChan, GivesTheTableOfTheWholeTextAcrossBlockBoundaries) {
  const std::size_t block = 16384;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, block - 1, block, block + 1, 2 * block, 3 * block + 5}) {
    std::string text = source_like(size);
    for (const std::size_t lf : {block - 1, block, 2 * block - 1})
      if (lf < text.size()) text[lf] = '\n';
    std::istringstream stream(text);
    EXPECT_EQ(lo::from_chan(stream).to_vector(), lo::from_string(text).to_vector()) << size;
  }
}

TEST(LineOffsetsFromChan, RereadsAStreamAlreadyReadToItsEnd) {
  std::istringstream stream("ab\ncd\n");
  std::string sink;
  std::getline(stream, sink, '\0');  // sets eof
  EXPECT_EQ(lo::from_chan(stream).to_vector(), (Entries{0, 3, 6}));
  EXPECT_EQ(stream.rdbuf()->sgetc(), std::char_traits<char>::eof());  // left at its end
}

TEST(LineOffsetsFromChan, CountsFromWhereAStreamThatCannotSeekStands) {
  Pipe_buf pipe("ab\ncd\nef");
  std::istream stream(&pipe);
  ASSERT_EQ(stream.get(), 'a');
  EXPECT_EQ(lo::from_chan(stream).to_vector(), (Entries{0, 2, 5}));
}

TEST(LineOffsetsFromChan, ReadErrorPropagatesAndBuildsNoTable) {
  Failing_buf device(std::string(20000, '\n'));
  std::istream stream(&device);
  try {
    (void)lo::from_chan(stream);
    FAIL() << "no failure";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::io_error);
  }
}

}  // namespace
