// SPDX-License-Identifier: MIT
// Opened: one opening of an input held for many quotes, and closed once.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace {

using test::open_descriptors;
using test::Temp_file;
using vantel::Closer;
using vantel::Input;
using vantel::Opened;
using vantel::Position;

const std::string text = "let width = 12\nlet height = width * 2\nprint height\n";
const vantel::Location height{Position::of_line_col(2, 5), Position::of_line_col(2, 11)};

std::string report_through(const Input& input) {
  vantel::Report report;
  report.message = "m";
  report.labels.emplace_back(input, "f", height, "here");
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp_report(f, report);
  return out.str();
}

// Counts what a managed input's opener and closer do.
struct Counts {
  int opened = 0;
  int closed = 0;
};

Input counted(
    Counts& counts, std::function<void()> on_close = [] {}) {
  return Input::managed([&counts, on_close] {
    ++counts.opened;
    return std::make_pair(Input::string(text), Closer([&counts, on_close] {
                            ++counts.closed;
                            on_close();
                          }));
  });
}

TEST(Opened, QuotesManyTimesThroughOneOpening) {
  const Temp_file file(text);
  const Input reference = Input::string(text);
  Counts counts;
  const std::size_t before = open_descriptors();
  for (const bool from_file : {true, false}) {
    {
      const Opened opened = from_file ? Input::file(file.path()).open() : counted(counts).open();
      for (int k = 0; k < 100; ++k) {
        EXPECT_EQ(test::quote(opened, {height}), test::quote(reference, {height}));
        EXPECT_EQ(report_through(opened.input()), report_through(reference));
        EXPECT_EQ(Position::to_offset(opened, Position::of_line_col(3, 2)), 39);
      }
      EXPECT_EQ(open_descriptors(), before + (from_file ? 1 : 0));
      EXPECT_EQ(counts.opened, from_file ? 0 : 1);
      EXPECT_EQ(counts.closed, 0);
    }
    EXPECT_EQ(open_descriptors(), before);
    EXPECT_EQ(counts.closed, from_file ? 0 : 1);
  }
}

// Past the blocks it keeps, and across their edges and the file's short
// last block, quotes through one opening read what the text holds.
TEST(Opened, QuotesAllOverALargeFileAsFromItsText) {
  std::string big;
  std::vector<std::int64_t> starts;
  for (int i = 0; big.size() < (std::size_t{9} << 19); ++i) {
    starts.push_back(static_cast<std::int64_t>(big.size()));
    big.append(static_cast<std::size_t>(i * 7919 % 83), static_cast<char>('a' + i % 26));
    big += '\n';
  }
  const Temp_file file(big);
  const Input reference = Input::string(big);
  const Opened opened = Input::file(file.path()).open();
  const auto lines = static_cast<std::int64_t>(starts.size());
  for (std::int64_t k = 0; k < 600; ++k) {
    const std::int64_t line = k % 3 == 0 ? lines - k % 7 : (k * 104729) % lines;
    const std::int64_t at = starts[static_cast<std::size_t>(line - 1)];
    const vantel::Location where{Position::of_offset(at), Position::of_offset(at + 1 + k % 200)};
    ASSERT_EQ(test::quote(opened, {where}), test::quote(reference, {where})) << line;
  }
}

TEST(Opened, ClosesExactlyOnceOnEveryPath) {
  const struct {
    const char* path;
    std::function<void(Counts&)> run;
  } cases[] = {
      {"destroyed", [](Counts& c) { const Opened o = counted(c).open(); }},
      {"closed, then destroyed",
       [](Counts& c) {
         Opened o = counted(c).open();
         o.close();
         EXPECT_EQ(c.closed, 1);
         o.close();
       }},
      {"moved from, then both destroyed",
       [](Counts& c) {
         Opened first = counted(c).open();
         const Opened second = std::move(first);
         EXPECT_EQ(c.closed, 0);
       }},
      {"assigned over: closes at once",
       [](Counts& c) {
         Opened o = counted(c).open();
         Counts other;
         o = counted(other).open();
         EXPECT_EQ(c.closed, 1);
         EXPECT_EQ(other.closed, 0);
         o.close();
         EXPECT_EQ(other.closed, 1);
       }},
      {"the closer throws from close()",
       [](Counts& c) {
         Opened o = counted(c, [] { throw std::runtime_error("closer"); }).open();
         EXPECT_THROW(o.close(), std::runtime_error);
       }},
      {"the closer throws from the destructor: dropped",
       [](Counts& c) {
         const Opened o = counted(c, [] { throw std::runtime_error("c"); }).open();
       }},
  };
  for (const auto& c : cases) {
    Counts counts;
    c.run(counts);
    EXPECT_EQ(counts.opened, 1) << c.path;
    EXPECT_EQ(counts.closed, 1) << c.path;
  }
}

TEST(Opened, QuotingAfterItClosedFailsNamingTheFile) {
  const Temp_file file(text);
  Opened opened = Input::file(file.path()).open();
  const Input copy = opened.input();
  const std::size_t before = open_descriptors();
  opened.close();
  EXPECT_EQ(open_descriptors(), before - 1);
  const std::function<void()> uses[] = {
      [&] { (void)test::quote(copy, {height}); },
      [&] { (void)Position::to_offset(opened, Position::of_line_col(2, 1)); },
      [&] { (void)report_through(copy); },
  };
  for (const auto& use : uses) {
    try {
      use();
      ADD_FAILURE() << "read through a closed opening";
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(std::string(e.what()), file.path() + ": quoted through an opening that was closed");
    }
  }
}

TEST(Opened, ClosedFromInsideAQuoteThroughItClosesWhenTheQuoteEnds) {
  Counts counts;
  Opened opened = counted(counts).open();
  std::ostringstream out;
  vantel::Formatter f(out);
  int closed_inside = -1;
  vantel::setup_highlight_tags(f, {[&] {
                                     opened.close();
                                     closed_inside = counts.closed;
                                     return std::string("[");
                                   },
                                   [] { return std::string("]"); }});
  vantel::pp(opened, f, {height});
  EXPECT_EQ(out.str(), "2 | let height = width * 2\n        [^^^^^^]\n");
  EXPECT_EQ(closed_inside, 0);
  EXPECT_EQ(counts.closed, 1);
  EXPECT_THROW((void)test::quote(opened, {height}), std::invalid_argument);
}

// The file's identity is compared when it opens, and not again while it is
// open: a file renamed over it is seen by the next opening only.
TEST(Opened, ReadsTheFileItOpenedWhateverTakesItsNameLater) {
  const Temp_file file(text);
  const Input input = Input::file(file.path());
  const Opened opened = input.open();
  const std::string before = test::quote(opened, {height});
  {
    const Temp_file other("a\nb\nc\n");
    ASSERT_EQ(std::rename(other.path().c_str(), file.path().c_str()), 0);
  }
  EXPECT_EQ(test::quote(opened, {height}), before);
  EXPECT_EQ(Position::to_offset(opened, Position::of_line_col(3, 1)), 38);
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(3, 1)), 4);
  EXPECT_EQ(Position::to_offset(input.open(), Position::of_line_col(3, 1)), 4);
}

TEST(Opened, AnInputThatNeedsNoOpeningIsItsOwnOpening) {
  std::istringstream stream(text);
  const auto buffer = std::make_shared<std::vector<char>>(text.begin(), text.end());
  for (const Input& input :
       {Input::string(text), Input::bytes(buffer), Input::in_channel(stream)}) {
    Opened opened = input.open();
    opened.close();
    EXPECT_EQ(test::quote(opened, {height}), test::quote(input, {height}));
    // An opening of an opening opens nothing more.
    Counts counts;
    const Opened outer = counted(counts).open();
    Opened again = outer.input().open();
    again.close();
    EXPECT_EQ(test::quote(again, {height}), test::quote(input, {height}));
    EXPECT_EQ(counts.closed, 0);
  }
}

TEST(Opened, ThroughAnotherOpenedFailsOnceThatOneCloses) {
  Counts inner_counts;
  Opened inner = counted(inner_counts).open();
  int outer_closed = 0;
  const Input outer_input = Input::managed(
      [&] { return std::make_pair(inner.input(), Closer([&] { ++outer_closed; })); });
  const Opened outer = outer_input.open();
  EXPECT_EQ(test::quote(outer, {height}), test::quote(Input::string(text), {height}));
  inner.close();
  EXPECT_THROW((void)test::quote(outer, {height}), std::invalid_argument);
  EXPECT_THROW((void)test::quote(outer_input, {height}), std::invalid_argument);
  EXPECT_EQ(outer_closed, 1);  // the quote of outer_input opened and closed it once
  EXPECT_EQ(inner_counts.closed, 1);
}

TEST(Opened, OpeningThatFailsClosesWhatItOpened) {
  int outer_closed = 0;
  const Input input = Input::managed([&] {
    return std::make_pair(Input::file("/nonexistent/vantel"), Closer([&] { ++outer_closed; }));
  });
  EXPECT_THROW((void)input.open(), std::system_error);
  EXPECT_EQ(outer_closed, 1);
}

// A report whose inputs include a closed opening fails before printing, and
// closes every input it opened.
TEST(Opened, AReportOverAClosedOpeningFailsAndClosesTheOthers) {
  const Temp_file file(text);
  Opened closed = Input::file(file.path()).open();
  closed.close();
  Counts counts;
  vantel::Report report;
  report.message = "m";
  report.labels.emplace_back(counted(counts), "first", height);
  report.labels.emplace_back(Input::file(file.path()), "second", height);
  report.labels.emplace_back(closed, "third", height);
  const std::size_t before = open_descriptors();
  std::ostringstream out;
  vantel::Formatter f(out);
  EXPECT_THROW(vantel::pp_report(f, report), std::invalid_argument);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(counts.closed, 1);
}

}  // namespace
