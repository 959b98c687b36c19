// SPDX-License-Identifier: MIT
#include "line_offsets/narrow_starts.hpp"
#include "line_offsets/line_scanner.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

namespace lo = vantel::Line_offsets;

constexpr std::int64_t four_gib = std::int64_t{1} << 32;

// Texts scanned from just below a 4 GiB boundary, as a growing table resumes
// there: line feeds right before it, on it and past it, and runs of blank
// lines. Every entry reads back whole, and every offset finds the last entry
// at or before it, as a plain search over the whole offsets does.
TEST(NarrowStarts, KeepsWholeOffsetsAcrossFourGibBoundaries) {
  struct Case {
    std::int64_t from;
    std::string text;
  };
  const std::vector<Case> cases = {
      {four_gib - 3, "a\n\nb\nc"},
      {four_gib - 1, "\nx\n"},
      {four_gib - 2, "\n\n\n\n"},
      {2 * four_gib - 70, std::string(64, 'x') + "\n\n" + std::string(100, 'y') + "\n"},
      {four_gib + 5, "ab\ncd\n"},
      {0, "one\ntwo\n\nthree"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    lo::Narrow_scanner scanner(lo::Scan::Widest, c.from);
    scanner.scan(c.text.data(), c.text.size());
    std::vector<std::int64_t> expected;
    for (std::size_t k = 0; k < c.text.size(); ++k)
      if (c.text[k] == '\n') expected.push_back(c.from + static_cast<std::int64_t>(k) + 1);
    ASSERT_FALSE(expected.empty());
    const lo::Narrow_starts starts(scanner);
    ASSERT_EQ(starts.size(), expected.size());
    std::vector<std::int64_t> widened(expected.size());
    starts.widen(widened.data());
    EXPECT_EQ(widened, expected);
    for (std::int64_t offset = c.from - 2; offset <= expected.back() + 2; ++offset) {
      std::size_t last = 0;
      for (std::size_t k = 0; k < expected.size(); ++k)
        if (expected[k] <= offset) last = k;
      EXPECT_EQ(starts.last_at_or_before(offset), last) << offset;
      EXPECT_EQ(starts[last], expected[last]);
    }
    EXPECT_EQ(starts.last_at_or_before(-1), 0U);
    EXPECT_EQ(starts.last_at_or_before(8 * four_gib), expected.size() - 1);
  }
}

}  // namespace
