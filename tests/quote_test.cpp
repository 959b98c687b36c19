// SPDX-License-Identifier: MIT
#include "quote/quote.hpp"
#include "quote/iset.hpp"
#include "quote/line_numbers.hpp"
#include "quote/quoted_lines.hpp"
#include "quote/two_columns.hpp"

#include <vantel/styles.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantel::detail::Resolved_position;
using vantel::detail::source_line;
using Resolved_location = std::pair<Resolved_position, Resolved_position>;

// Renders the quote that pp renders for `locations`, from `lines`, given one
// at a time as gathering gives them.
void highlight_quote(vantel::Formatter& f, std::vector<source_line> lines, int max_lines,
                     const std::vector<Resolved_location>& locations) {
  vantel::detail::Quote_plan::Positions positions;
  for (const Resolved_location& location : locations) {
    positions.push_back(location.first);
    positions.push_back(location.second);
  }
  const vantel::detail::Quote_plan plan(std::move(positions), false);
  vantel::detail::Quoted_lines quoted(plan, max_lines);
  if (plan.set().extrema())
    for (source_line& line : lines) quoted.take(line);
  vantel::detail::render_quote(f, plan, quoted, vantel::detail::Layout_plan{}, max_lines);
}

Resolved_location loc(std::int64_t start, std::int64_t end, std::int64_t line = 1,
                      std::int64_t end_line = 0) {
  return {{line, 0, start}, {end_line ? end_line : line, 0, end}};
}

// Quotes with get_lines answering `lines`, the highlight tag marked <U>..</U>
// (recognised by identity), inside a tag <H> of the caller's.
std::string quote(const std::vector<source_line>& lines,
                  const std::vector<Resolved_location>& locs) {
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::Stag_functions marks;
  const auto is_ours = [](const vantel::Stag& t) {
    return &t == &vantel::Single_line_underline_tag;
  };
  marks.mark_open_stag = [&](const vantel::Stag& t) { return is_ours(t) ? "<U>" : "<H>"; };
  marks.mark_close_stag = [&](const vantel::Stag& t) { return is_ours(t) ? "</U>" : "</H>"; };
  f.set_stag_functions(marks);
  f.set_mark_tags(true);
  const vantel::Stag host{"Host.tag"};
  f.open_stag(host);
  highlight_quote(f, lines, 10, locs);
  f.close_stag();
  return out.str();
}

TEST(QuoteExamples, SingleLineUnderlinesTheLocatedWordInOneTag) {
  EXPECT_EQ(quote({{"size = max + 10", 20}}, {loc(27, 30, 3)}), R"(<H>3 | size = max + 10
           <U>^^^</U>
</H>)");
}

TEST(QuoteExamples, MultiLineShowsTheBytesOutsideTheLocationAsDots) {
  EXPECT_EQ(quote({{"abc", 0}, {"defg", 4}}, {loc(1, 6, 1, 2)}), R"(<H>1 | .bc
2 | de..
</H>)");
}

TEST(QuoteNothing, NoSurvivingLocationPrintsNothing) {
  for (const auto& locs : std::vector<std::vector<Resolved_location>>{
           {}, {loc(-1, 5), loc(3, -1)}, {loc(4, 4), loc(6, 5), loc(0, INT64_MIN)}})
    EXPECT_EQ(quote({{"abc", 0}}, locs), "<H></H>");
}

TEST(SingleLine, RunsSharingAnOffsetMergeIntoOneTagAndOthersStayApart) {
  const std::vector<source_line> line{{"ab\tdefgh", 0}};
  EXPECT_EQ(quote(line, {loc(3, 6), loc(1, 4)}), "<H>1 | ab\tdefgh\n     <U>^^^^^</U>\n</H>");
  EXPECT_EQ(quote(line, {loc(1, 3), loc(3, 5)}), "<H>1 | ab\tdefgh\n     <U>^^</U><U>^^</U>\n</H>");
  EXPECT_EQ(quote(line, {loc(0, 1), loc(7, 9)}),
            "<H>1 | ab\tdefgh\n    <U>^</U>      <U>^^</U>\n</H>");
}

// An interval that began before the line opens its run where the underline
// begins, so its close cannot close the caller's tag.
TEST(SingleLine, RunOfAnIntervalStartingBeforeTheLineIsOpenedAtTheLineStart) {
  for (const std::int64_t start : {std::int64_t{8}, std::int64_t{-3}, INT64_MIN})
    EXPECT_EQ(quote({{"klmnop", 10}}, {loc(start, 12, 4), loc(13, 14, 4)}),
              "<H>4 | klmnop\n    <U>^^</U> <U>^</U>\n</H>")
        << start;
}

TEST(QuoteExtremes, OffsetsAtTheEndsOfTheRangeNeitherOverflowNorLoseBytes) {
  EXPECT_EQ(quote({{"abcd", INT64_MAX - 1}}, {loc(INT64_MAX - 1, INT64_MAX, 7)}),
            "<H>7 | abcd\n    <U>^</U>\n</H>");
  EXPECT_EQ(quote({{"abc", INT64_MIN}}, {loc(INT64_MIN + 1, INT64_MIN + 3, 7)}),
            "<H>7 | abc\n     <U>^^</U>\n</H>");
  EXPECT_EQ(
      quote({{"ab", INT64_MAX - 1}, {"cd", INT64_MAX}}, {loc(INT64_MAX - 1, INT64_MAX, INT64_MAX)}),
      "<H>9223372036854775807 | a.\n9223372036854775808 | ..\n</H>");
}

// Runs written whole must give the underline written offset by offset.
TEST(SingleLine, RunsMatchTheUnderlineWrittenOffsetByOffset) {
  std::mt19937 random(11);
  const auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(random); };
  for (int round = 0; round < 500; ++round) {
    const source_line line{std::string(static_cast<std::size_t>(draw(1, 20)), 'x'), draw(-3, 5)};
    std::vector<Resolved_location> locs;
    std::vector<vantel::detail::Interval<int>> intervals;
    for (int i = draw(1, 6); i > 0; --i) {
      const int s = draw(-6, 30), e = s + draw(-1, 5);
      locs.push_back(loc(s, e));
      if (s != -1 && e != -1) intervals.push_back({{0, s}, {0, e - 1}});
    }
    const auto set = vantel::detail::ISet<int>::of_intervals(intervals);
    if (!set.extrema()) continue;
    const auto last = line.start_offset + static_cast<std::int64_t>(line.text.size()) - 1;
    const bool numbered = set.find_bound_in(line.start_offset, last).has_value();
    std::string expected =
        numbered ? "<H>1 | " + line.text + "\n    " : "<H> | " + line.text + "\n   ";
    for (std::int64_t pos = line.start_offset; pos <= set.extrema()->second.offset; ++pos) {
      if (set.is_start(pos) || (pos == line.start_offset && set.mem(pos))) expected += "<U>";
      expected += set.mem(pos) ? '^' : ' ';
      if (set.is_end(pos)) expected += "</U>";
    }
    EXPECT_EQ(quote({line}, locs), expected + "\n</H>");
  }
}

// With tags neither marked nor printed the underline is written whole: the
// same bytes as written run by run, less the tags' texts.
TEST(SingleLine, AnUnderlineWrittenWholeMatchesTheOneWrittenRunByRun) {
  std::mt19937 random(13);
  const auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(random); };
  for (int round = 0; round < 500; ++round) {
    const source_line line{std::string(static_cast<std::size_t>(draw(1, 20)), 'x'), draw(-3, 5)};
    std::vector<Resolved_location> locs;
    for (int i = draw(1, 6); i > 0; --i) {
      const int s = draw(-6, 30);
      locs.push_back(loc(s, s + draw(-1, 5)));
    }
    std::string marked = quote({line}, locs);
    for (const std::string tag : {"<U>", "</U>", "<H>", "</H>"})
      for (auto at = marked.find(tag); at != std::string::npos; at = marked.find(tag))
        marked.erase(at, tag.size());
    std::ostringstream out;
    vantel::Formatter f(out);
    highlight_quote(f, {line}, 10, locs);
    EXPECT_EQ(out.str(), marked);
  }
}

// The plain underline goes out a buffer of 4096 bytes at a time: runs that
// cross the buffer's end, and runs longer than the buffer, lose no byte.
TEST(SingleLine, AnUnderlineLongerThanItsBufferLosesNoByte) {
  const source_line line{std::string(10000, 'x'), 0};
  const std::vector<Resolved_location> locs = {loc(0, 1), loc(4094, 4099), loc(5000, 9990)};
  std::ostringstream out;
  vantel::Formatter f(out);
  highlight_quote(f, {line}, 10, locs);
  const std::string underline = "^" + std::string(4093, ' ') + std::string(5, '^') +
                                std::string(901, ' ') + std::string(4990, '^');
  EXPECT_EQ(out.str(), "1 | " + line.text + "\n    " + underline + "\n");
}

TEST(MultiLine, ShorterLabelsAreRightAlignedAndUnnumberedLinesGetEmptyOnes) {
  EXPECT_EQ(quote({{"aa", 24}, {"aa", 27}, {"aa", 30}}, {loc(25, 31, 9, 11)}),
            "<H> 9 | .a\n10 | aa\n11 | a.\n</H>");
  EXPECT_EQ(quote({{"ab", 0}, {"cd", 3}, {"", 6}}, {loc(2, 7)}), "<H> | ..\n | cd\n | \n</H>");
}

TEST(TwoColumns, ElisionKeepsAHeadAnEllipsisAndATailWithinMaxLines) {
  std::vector<vantel::detail::Row> rows;
  for (int i = 1; i <= 12; ++i) rows.emplace_back(std::to_string(i), "x");
  const auto shown = [&](std::optional<int> max_lines) {
    std::ostringstream out;
    vantel::Formatter f(out);
    vantel::detail::pp_two_columns(f, rows, max_lines);
    return out.str();
  };
  EXPECT_EQ(shown(10), R"( 1 | x
 2 | x
 3 | x
 4 | x
 5 | x
...
 9 | x
10 | x
11 | x
12 | x
)");
  EXPECT_EQ(shown(2), " 1 | x\n...\n") << "hidden rows count for the width";
  EXPECT_EQ(shown(1), "...\n");
  EXPECT_EQ(shown(INT_MIN), "");
  EXPECT_EQ(shown(INT_MAX), shown(std::nullopt));
  EXPECT_EQ(shown(INT_MAX).size(), 12 * 7);
}

TEST(InferLineNumbers, OneKnownNumberNumbersEveryLineUnlessNumbersDisagree) {
  const auto labels = [](std::vector<std::optional<vantel::detail::Wide>> numbers) {
    std::vector<std::pair<std::optional<vantel::detail::Wide>, int>> list;
    for (const auto& n : numbers) list.emplace_back(n, 0);
    std::string out;
    for (const auto& element : vantel::detail::infer_line_numbers(list))
      out += (element.first ? vantel::detail::to_decimal(*element.first) : "_") + " ";
    return out;
  };
  const auto none = std::nullopt;
  EXPECT_EQ(labels({none, 5, none}), "4 5 6 ");
  EXPECT_EQ(labels({1, none, 7}), "1 _ 7 ");
  EXPECT_EQ(labels({INT64_MAX, none}), "9223372036854775807 9223372036854775808 ");
  EXPECT_EQ(labels({none, INT64_MIN}), "-9223372036854775809 -9223372036854775808 ");
}

}  // namespace
