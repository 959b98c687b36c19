// SPDX-License-Identifier: MIT
#include "line_offsets/lazy_table.hpp"
#include "line_offsets/line_offsets.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <exception>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace {

namespace lo = vantel::Line_offsets;

constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();

// Hands a text out in chunks of the given sizes, in turn, and records the
// offset at which each growth starts. Fails once `fail_at` bytes are handed.
class Chunks final : public lo::Text_source {
 public:
  Chunks(std::string_view text, std::vector<std::size_t> sizes,
         std::size_t fail_at = std::string_view::npos)
      : text_(text), sizes_(std::move(sizes)), fail_at_(fail_at) {}

  bool start(std::int64_t offset) override {
    starts.push_back(offset);
    next_ = static_cast<std::size_t>(offset);
    return true;
  }
  std::string_view next() override {
    if (next_ >= fail_at_) throw std::system_error(EIO, std::generic_category(), "chunks");
    const std::size_t size = sizes_[turn_++ % sizes_.size()];
    const std::string_view got = text_.substr(std::min(next_, text_.size()), size);
    next_ += got.size();
    return got;
  }

  std::vector<std::int64_t> starts;

 private:
  std::string_view text_;
  std::vector<std::size_t> sizes_;
  std::size_t fail_at_;
  std::size_t turn_ = 0;
  std::size_t next_ = 0;
};

// What a query gave: its values, or the type and message of its failure.
template <class F>
std::string outcome(F&& query) {
  try {
    const auto [a, b] = query();
    return std::to_string(a) + " " + std::to_string(b);
  } catch (const std::out_of_range& e) {
    return std::string("out_of_range: ") + e.what();
  } catch (const std::overflow_error& e) {
    return std::string("overflow_error: ") + e.what();
  }
}

// Random texts in random chunks, asked random queries in random order: the
// growing table answers each exactly as the whole table does, resumes each
// growth where the last one stopped, and scans no further than a chunk past
// what the query needs.
TEST(LazyTable, AnswersAsTheWholeTableWhileScanningOnlyWhatEachQueryNeeds) {
  std::mt19937_64 random(12);
  const auto below = [&random](std::uint64_t n) { return n == 0 ? 0 : random() % n; };
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = below(4) == 0 ? below(8) : below(3000);
    const std::uint64_t one_in = 1 + below(40);
    std::string text(length, 'x');
    for (char& c : text) c = below(one_in) == 0 ? '\n' : static_cast<char>('a' + below(3));
    std::vector<std::size_t> sizes(1 + below(4));
    for (std::size_t& s : sizes) s = 1 + below(below(2) == 0 ? 8 : 700);
    const std::size_t widest = *std::max_element(sizes.begin(), sizes.end());

    const vantel::Line_table whole = lo::from_string(text);
    const auto lines = static_cast<std::int64_t>(whole.size());
    const auto len = static_cast<std::int64_t>(text.size());
    Chunks source(text, sizes);
    lo::Lazy_table lazy;
    const auto pick = [&](std::int64_t top) -> std::int64_t {
      static constexpr std::int64_t extremes[] = {min64, -1, 0, max64};
      if (below(10) == 0) return extremes[below(4)];
      return static_cast<std::int64_t>(below(static_cast<std::uint64_t>(top) + 5)) - 2;
    };
    for (int q = 0; q < 12; ++q) {
      const std::int64_t before = lazy.scanned();
      const std::size_t growths = source.starts.size();
      std::int64_t needed = 0;  // the offset the answer depends on
      std::string got;
      std::string want;
      switch (below(3)) {
        case 0: {
          const std::int64_t line = pick(lines);
          got = outcome([&] { return std::make_pair(lazy.find_line_offset(source, line), 0); });
          want = outcome([&] { return std::make_pair(lo::find_line_offset(whole, line), 0); });
          needed = line >= 1 && line <= lines ? whole[static_cast<std::size_t>(line - 1)]
                   : line < 1                 ? 0
                                              : len;
          break;
        }
        case 1: {
          const std::int64_t line = pick(lines);
          const std::int64_t col = pick(80);
          got = outcome([&] { return std::make_pair(lazy.find_offset(source, line, col), 0); });
          want = outcome([&] { return std::make_pair(lo::find_offset(whole, line, col), 0); });
          needed = line >= 1 && line <= lines ? whole[static_cast<std::size_t>(line - 1)]
                   : line < 1                 ? 0
                                              : len;
          break;
        }
        default: {
          const std::int64_t offset = pick(len);
          got = outcome([&] { return lazy.line_col_of_offset(source, offset); });
          want = outcome([&] { return lo::line_col_of_offset(whole, offset); });
          needed = std::clamp<std::int64_t>(offset, 0, len);
          break;
        }
      }
      ASSERT_EQ(got, want) << "round " << round << ", query " << q;
      if (source.starts.size() != growths) {
        EXPECT_EQ(source.starts.back(), before);
      }
      const auto bound = std::max(before, needed + static_cast<std::int64_t>(widest));
      EXPECT_LE(lazy.scanned(), bound) << "round " << round << ", query " << q;
    }
    EXPECT_EQ(lazy.whole(source), whole) << "round " << round;
  }
}

// Eight threads query one table, each through a source of its own over the
// same text, in small chunks so that it grows in many pieces while others
// read them: every answer is the whole table's. Run under ThreadSanitizer by
// the tsan preset.
TEST(LazyTable, ThreadsQueryOneTableAsItGrows) {
  std::string text;
  for (int k = 0; k < 4000; ++k) text += std::string(static_cast<std::size_t>(k % 37), 'x') + "\n";
  const vantel::Line_table whole = lo::from_string(text);
  const auto lines = static_cast<std::int64_t>(whole.size());
  lo::Lazy_table lazy;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      Chunks source(text, {97, 300});
      for (std::int64_t q = 0; q < 400; ++q) {
        const std::int64_t line = 1 + (q * 13 + t * 101) % lines;
        const std::int64_t offset = whole[static_cast<std::size_t>(line - 1)] + t;
        if (lazy.find_line_offset(source, line) != whole[static_cast<std::size_t>(line - 1)] ||
            lazy.line_col_of_offset(source, offset) != lo::line_col_of_offset(whole, offset))
          ++wrong;
      }
      if (!(lazy.whole(source) == whole)) ++wrong;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(LazyTable, AReadFailureIsKeptAndThrownByEveryLaterQuery) {
  const std::string text(1000, '\n');
  Chunks source(text, {100}, 300);
  lo::Lazy_table lazy;
  EXPECT_EQ(lazy.find_line_offset(source, 50), 49);
  EXPECT_THROW((void)lazy.find_line_offset(source, 500), std::system_error);
  // Also a query that the part scanned before the failure could answer.
  EXPECT_THROW((void)lazy.find_line_offset(source, 2), std::system_error);
  EXPECT_THROW((void)lazy.whole(source), std::system_error);
  EXPECT_TRUE(lazy.failed());
  EXPECT_EQ(source.starts.size(), 2U);  // nothing read again after the failure
}

}  // namespace
