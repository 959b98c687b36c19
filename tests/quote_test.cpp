#include "vantel/quote.hpp"
#include "vantel/iset.hpp"
#include "vantel/line_numbers.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantel::Formatter;
using vantel::lexing_position;
using vantel::Stag;
using vantel::detail::Lexing_location;
using vantel::detail::Line_number;
using vantel::detail::Row;
using vantel::detail::source_line;

lexing_position at(std::int64_t offset, std::int64_t line = 1) {
  return lexing_position{"f", line, 0, offset};
}

Lexing_location loc(std::int64_t start, std::int64_t end, std::int64_t line = 1) {
  return {at(start, line), at(end, line)};
}

// Writes <U> and </U> around the highlight tag, recognised by identity, and
// <name> for any other tag.
void mark_tags(Formatter& f) {
  vantel::Stag_functions marks;
  marks.mark_open_stag = [](const Stag& t) {
    return &t == &vantel::detail::Single_line_underline_tag ? "<U>" : "<" + t.name() + ">";
  };
  marks.mark_close_stag = [](const Stag& t) {
    return &t == &vantel::detail::Single_line_underline_tag ? "</U>" : "</" + t.name() + ">";
  };
  f.set_stag_functions(marks);
  f.set_mark_tags(true);
}

// Quotes with get_lines answering `lines`, whatever it is asked.
std::string quote(const std::vector<source_line>& lines, const std::vector<Lexing_location>& locs,
                  int max_lines = 10, int* calls = nullptr) {
  std::ostringstream out;
  Formatter f(out);
  mark_tags(f);
  vantel::detail::highlight_quote(
      f,
      [&](const lexing_position&, const lexing_position&) {
        if (calls) ++*calls;
        return lines;
      },
      max_lines, locs);
  return out.str();
}

const std::vector<source_line> size_line{{"size = max + 10", 20}};

TEST(QuoteExamples, SingleLineUnderlinesTheLocatedWordInOneTag) {
  EXPECT_EQ(quote(size_line, {loc(27, 30, 3)}), R"(3 | size = max + 10
           <U>^^^</U>
)");
}

TEST(QuoteExamples, MultiLineShowsTheBytesOutsideTheLocationAsDots) {
  const Lexing_location location{at(1, 1), at(6, 2)};
  EXPECT_EQ(quote({{"abc", 0}, {"defg", 4}}, {location}), R"(1 | .bc
2 | de..
)");
}

TEST(QuoteNothing, NoSurvivingLocationPrintsNothingAndFetchesNoLines) {
  const std::vector<Lexing_location> cases[] = {
      {},
      {loc(-1, 5), loc(3, -1)},
      {loc(4, 4), loc(6, 5)},
      {loc(0, INT64_MIN), loc(INT64_MIN, INT64_MIN)},
  };
  for (const auto& locs : cases) {
    int calls = 0;
    EXPECT_EQ(quote(size_line, locs, 10, &calls), "");
    EXPECT_EQ(calls, 0);
  }
  int calls = 0;
  EXPECT_EQ(quote({}, {loc(1, 2)}, 10, &calls), "");
  EXPECT_EQ(quote({{"", 1}}, {loc(1, 2)}, 10, &calls), "");
  EXPECT_EQ(calls, 2);
}

TEST(SingleLine, UnderlinesRunsAndTagsEachRunOnce) {
  const std::vector<source_line> line{{"ab\tdefgh", 0}};
  const struct {
    const char* what;
    std::vector<Lexing_location> locs;
    const char* underline;
  } cases[] = {
      {"runs sharing an offset merge into one tag", {loc(3, 6), loc(1, 4)}, " <U>^^^^^</U>"},
      {"touching runs are two tags, no space", {loc(1, 3), loc(3, 5)}, " <U>^^</U><U>^^</U>"},
      {"spaces between runs lie outside tags", {loc(0, 1), loc(4, 6)}, "<U>^</U>   <U>^^</U>"},
      {"the line feed gets a caret", {loc(7, 9)}, "       <U>^^</U>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(quote(line, c.locs), "1 | ab\tdefgh\n    " + std::string(c.underline) + "\n")
        << c.what;
}

// An interval that began before the line still gets its run opened, so the
// close that ends it never closes a tag of the caller's.
TEST(SingleLine, RunOfAnIntervalStartingBeforeTheLineIsOpenedAtTheLineStart) {
  const std::vector<source_line> line{{"klmnop", 10}};
  for (const std::int64_t start : {std::int64_t{8}, std::int64_t{-3}, INT64_MIN}) {
    std::ostringstream out;
    Formatter f(out);
    mark_tags(f);
    const Stag host{"H"};
    f.open_stag(host);
    vantel::detail::highlight_quote(
        f, [&](const lexing_position&, const lexing_position&) { return line; }, 10,
        {loc(start, 12, 4), loc(13, 14, 4)});
    f.close_stag();
    EXPECT_EQ(out.str(), "<H>4 | klmnop\n    <U>^^</U> <U>^</U>\n</H>") << start;
  }
}

TEST(QuoteExtremes, OffsetsAtTheEndsOfTheRangeNeitherOverflowNorLoseBytes) {
  EXPECT_EQ(quote({{"abcd", INT64_MAX - 1}}, {loc(INT64_MAX - 1, INT64_MAX, 7)}),
            "7 | abcd\n    <U>^</U>\n");
  EXPECT_EQ(quote({{"abc", INT64_MIN}}, {loc(INT64_MIN + 1, INT64_MIN + 3, 7)}),
            "7 | abc\n     <U>^^</U>\n");
  EXPECT_EQ(quote({{"ab", INT64_MAX - 1}, {"cd", INT64_MAX}}, {loc(INT64_MAX - 1, INT64_MAX, 5)}),
            "5 | a.\n6 | ..\n");
}

// The underline written by runs must equal the one written offset by
// offset from mem, is_start and is_end.
TEST(SingleLine, RunsMatchTheUnderlineWrittenOffsetByOffset) {
  std::mt19937 random(11);
  const auto offset = [&] { return std::uniform_int_distribution<std::int64_t>(-6, 30)(random); };
  for (int round = 0; round < 500; ++round) {
    const source_line line{
        std::string(std::uniform_int_distribution<std::size_t>(1, 20)(random), 'x'),
        std::uniform_int_distribution<std::int64_t>(-3, 5)(random)};
    std::vector<Lexing_location> locs(std::uniform_int_distribution<std::size_t>(1, 6)(random));
    std::vector<vantel::detail::Interval<lexing_position>> intervals;
    for (auto& l : locs) {
      const std::int64_t start = offset();
      l = loc(start, start + std::uniform_int_distribution<std::int64_t>(-1, 5)(random));
      if (l.first.char_offset != -1 && l.second.char_offset != -1)
        intervals.push_back({{l.first, l.first.char_offset}, {l.second, l.second.char_offset - 1}});
    }
    const auto set = vantel::detail::ISet<lexing_position>::of_intervals(intervals);
    if (!set.extrema()) continue;
    const auto last_offset = static_cast<std::int64_t>(line.text.size()) + line.start_offset - 1;
    std::string expected = (set.find_bound_in(line.start_offset, last_offset) ? "1" : "") +
                           std::string(" | ") + line.text + "\n" +
                           (set.find_bound_in(line.start_offset, last_offset) ? "    " : "   ");
    for (std::int64_t pos = line.start_offset; pos <= set.extrema()->second.offset; ++pos) {
      if (set.is_start(pos) || (pos == line.start_offset && set.mem(pos))) expected += "<U>";
      expected += set.mem(pos) ? '^' : ' ';
      if (set.is_end(pos)) expected += "</U>";
    }
    EXPECT_EQ(quote({line}, locs), expected + "\n");
  }
}

TEST(MultiLine, ShorterLabelsAreRightAlignedAndOnlyHighlightedBytesShow) {
  const Lexing_location location{at(25, 9), at(31, 11)};
  EXPECT_EQ(quote({{"aa", 24}, {"aa", 27}, {"aa", 30}}, {location}), R"( 9 | .a
10 | aa
11 | a.
)");
}

TEST(MultiLine, LinesWithoutNumbersGetEmptyLabelsAndAZeroWidthColumn) {
  const std::vector<source_line> lines{{"ab", 0}, {"cd", 3}, {"", 6}};
  EXPECT_EQ(quote(lines, {loc(2, 7)}), " | ..\n | cd\n | \n");
}

TEST(TwoColumns, ElisionKeepsAHeadAnEllipsisAndATailWithinMaxLines) {
  std::vector<Row> rows;
  for (int i = 1; i <= 12; ++i) rows.emplace_back(std::to_string(i), "x");
  const auto row = [](int i) { return (i < 10 ? " " : "") + std::to_string(i) + " | x\n"; };
  const auto rows_from = [&](int from, int to) {
    std::string s;
    for (int i = from; i <= to; ++i) s += row(i);
    return s;
  };
  const struct {
    std::optional<int> max_lines;
    std::string expected;
  } cases[] = {
      {10, rows_from(1, 5) + "...\n" + rows_from(9, 12)},
      {3, row(1) + "...\n" + row(12)},
      {2, row(1) + "...\n"},
      {1, "...\n"},
      {0, ""},
      {INT_MIN, ""},
      {INT_MAX, rows_from(1, 12)},
      {std::nullopt, rows_from(1, 12)},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    Formatter f(out);
    vantel::detail::pp_two_columns(f, rows, c.max_lines);
    EXPECT_EQ(out.str(), c.expected) << c.max_lines.value_or(-999);
  }
}

TEST(InferLineNumbers, OneKnownNumberNumbersEveryLineUnlessNumbersDisagree) {
  using Numbers = std::vector<std::optional<Line_number>>;
  const auto labels = [](const Numbers& numbers) {
    std::vector<std::pair<std::optional<Line_number>, int>> list;
    for (const auto& n : numbers) list.emplace_back(n, 0);
    std::string out;
    for (const auto& [n, payload] : vantel::detail::infer_line_numbers(list))
      out += (n ? vantel::detail::to_decimal(*n) : "_") + " ";
    return out;
  };
  const auto none = std::nullopt;
  EXPECT_EQ(labels({none, 5, none}), "4 5 6 ");
  EXPECT_EQ(labels({1, none, 7}), "1 _ 7 ");
  EXPECT_EQ(labels({none, none}), "_ _ ");
  EXPECT_EQ(labels({INT64_MAX, none}), "9223372036854775807 9223372036854775808 ");
  EXPECT_EQ(labels({none, none, INT64_MIN}),
            "-9223372036854775810 -9223372036854775809 -9223372036854775808 ");
}

}  // namespace
