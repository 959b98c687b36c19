// SPDX-License-Identifier: MIT
// The resolved report as data: spans, lines shown and why, lanes, places and
// the tree's entries, without drawing anything.
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "model/label_span.hpp"
#include "model/place.hpp"
#include "model/resolved_report.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::Label_kind;
using vantel::Position;
using vantel::detail::Line_reason;

vantel::Location at(std::int64_t start, std::int64_t end) {
  return {Position::of_offset(start), Position::of_offset(end)};
}

Position no_offset() {
  return Position::of_lexing({"", 1, 0, -1});
}

// "line 1\n" to "line 20\n": every line starts at 7 * (n - 1) for n < 10.
std::string twenty_lines() {
  std::string text;
  for (int n = 1; n <= 20; ++n) text += "line " + std::to_string(n) + "\n";
  return text;
}

TEST(ReportModel, SpanRule) {
  struct Case {
    const char* what;
    vantel::Location location;
    std::optional<std::pair<std::int64_t, std::int64_t>> span;
  };
  const std::vector<Case> cases = {
      {"as given", at(2, 5), {{2, 5}}},
      {"a point", at(3, 3), {{3, 3}}},
      {"reversed: a point at its start", at(5, 2), {{5, 5}}},
      {"a negative start stands at 0",
       {Position::shift(Position::of_offset(0), -3), Position::of_offset(2)},
       {{0, 2}}},
      {"past the end stays", at(40, 90), {{40, 90}}},
      {"no offset at the start", {no_offset(), Position::of_offset(2)}, std::nullopt},
      {"no offset at the end", {Position::of_offset(2), no_offset()}, std::nullopt},
  };
  const Input input = Input::string("abc\ndef\n");
  vantel::detail::Opening opening(input);
  for (const Case& c : cases) {
    const auto span = vantel::detail::span_of(opening.cursor(), c.location);
    ASSERT_EQ(span.has_value(), c.span.has_value()) << c.what;
    if (span) {
      EXPECT_EQ(std::make_pair(span->start, span->end), *c.span) << c.what;
    }
  }
}

struct Placed {
  std::int64_t first_line;
  std::int64_t last_line;
  Label_kind kind = Label_kind::Primary;
};

// Lines are given as (first, last): labels from column 1 of the first to
// column 2 of the last.
vantel::Report report_of(const Input& input, const std::vector<Placed>& labels) {
  vantel::Report report;
  for (const Placed& p : labels)
    report.labels.emplace_back(input, "t",
                               vantel::Location{Position::of_line_col(p.first_line, 1),
                                                Position::of_line_col(p.last_line, 3)},
                               "", p.kind);
  return report;
}

TEST(ReportModel, LinesShownAndWhy) {
  constexpr Line_reason L = Line_reason::Labelled;
  constexpr Line_reason I = Line_reason::Inside;
  constexpr Line_reason C = Line_reason::Context;
  struct Case {
    const char* what;
    std::vector<Placed> labels;
    std::int64_t context;
    std::vector<std::int64_t> lines;
    std::vector<Line_reason> reasons;
    std::int64_t body = vantel::default_max_body_lines;
    std::int64_t before = -1;
    std::int64_t after = -1;
  };
  constexpr Label_kind X = Label_kind::Context;
  const std::vector<Case> cases = {
      {"one label", {{5, 5}}, 0, {5}, {L}},
      {"a gap of one line is filled", {{5, 5}, {7, 7}}, 0, {5, 6, 7}, {L, C, L}},
      {"a wider gap is not", {{5, 5}, {8, 8}}, 0, {5, 8}, {L, L}},
      {"inside a label over lines", {{5, 7}}, 0, {5, 6, 7}, {L, I, L}},
      {"context around, cut at line 1", {{2, 2}}, 2, {1, 2, 3, 4}, {C, L, C, C}},
      {"context cut at the last line", {{19, 19}}, 3, {16, 17, 18, 19, 20}, {C, C, C, L, C}},
      {"context inside a long label", {{3, 12}}, 1, {2, 3, 4, 11, 12, 13}, {C, L, I, I, L, C}, 0},
      {"labels in any order", {{9, 9}, {2, 2}}, 0, {2, 9}, {L, L}},
      {"a body of the bound, whole", {{3, 9}}, 0, {3, 4, 5, 6, 7, 8, 9}, {L, I, I, I, I, I, L}},
      {"a longer one: its first lines, then the last",
       {{3, 10}},
       0,
       {3, 4, 5, 6, 7, 10},
       {L, I, I, I, I, L}},
      {"a body of 1 beyond the bound of 1", {{3, 6}}, 0, {3, 6}, {L, L}, 1},
      {"context before alone", {{10, 10}}, 0, {8, 9, 10}, {C, C, L}, 0, 2, 0},
      {"context after alone, over context_lines", {{10, 10}}, 3, {10, 11}, {L, C}, 0, 0, 1},
      {"a context label: its lines, unmarked", {{4, 6, X}, {9, 9}}, 0, {4, 5, 6, 9}, {C, C, C, L}},
      {"a context label alone", {{2, 2, X}}, 1, {2}, {C}},
  };
  const Input input = Input::string(twenty_lines());
  for (const Case& c : cases) {
    vantel::Report_layout options;
    options.context_lines = c.context;
    options.max_body_lines = c.body;
    options.context_before = c.before;
    options.context_after = c.after;
    vantel::detail::Resolved_report resolved;
    const vantel::Report report = report_of(input, c.labels);
    vantel::detail::resolve_report(report, options, resolved);
    ASSERT_EQ(resolved.entries.size(), 1U) << c.what;
    ASSERT_EQ(resolved.entries[0].sections.size(), 1U) << c.what;
    const vantel::detail::Section& section = resolved.entries[0].sections[0];
    EXPECT_EQ(section.lines, c.lines) << c.what;
    EXPECT_EQ(section.reasons, c.reasons) << c.what;
    resolved.openings.close();
  }
}

TEST(ReportModel, LanesAndPlace) {
  struct Case {
    const char* what;
    std::vector<Placed> labels;
    std::vector<std::size_t> lanes;  // of each label, in the report's order
    std::size_t place;               // the label the section stands at
  };
  constexpr Label_kind S = Label_kind::Secondary;
  const std::vector<Case> cases = {
      {"nested: the outer runs leftmost", {{4, 6}, {2, 9}}, {1, 0}, 0},
      {"one after another share a lane", {{2, 4}, {5, 7}}, {0, 0}, 0},
      {"touching lines do not", {{2, 4}, {4, 7}}, {0, 1}, 0},
      {"the first primary, after secondaries", {{2, 2, S}, {3, 5}, {6, 6}}, {0, 0, 0}, 1},
      {"else the first", {{3, 3, S}, {2, 2, S}}, {0, 0}, 0},
      {"else the first that marks", {{2, 4, Label_kind::Context}, {3, 3, S}}, {0, 0}, 1},
  };
  const Input input = Input::string(twenty_lines());
  for (const Case& c : cases) {
    vantel::detail::Resolved_report resolved;
    const vantel::Report report = report_of(input, c.labels);
    vantel::detail::resolve_report(report, {}, resolved);
    const vantel::detail::Section& section = resolved.entries[0].sections[0];
    std::vector<std::size_t> lanes;
    for (const auto& p : section.labels) lanes.push_back(p.lane);
    EXPECT_EQ(lanes, c.lanes) << c.what;
    EXPECT_EQ(vantel::detail::place_of(section).order, c.place) << c.what;
    resolved.openings.close();
  }
}

TEST(ReportModel, PlaceColumnInUnits) {
  // "a\t\xe2\x82\xac\xf0\x9f\x98\x80z": the z at byte 9.
  const Input input = Input::string("x\na\t\xe2\x82\xac\xf0\x9f\x98\x80z\r\nend");
  struct Case {
    vantel::Column_unit unit;
    int origin;
    std::int64_t offset;
    std::int64_t column;
  };
  using U = vantel::Column_unit;
  const std::vector<Case> cases = {
      {U::Bytes, 1, 11, 10},   {U::Code_points, 1, 11, 5}, {U::Utf16, 1, 11, 6},
      {U::Display, 1, 11, 12}, {U::Code_points, 0, 11, 4}, {U::Bytes, 1, 12, 11},
      {U::Bytes, 1, 13, 12},   {U::Bytes, 1, 17, 4},  // past the end: its line's end
  };
  vantel::detail::Opening opening(input);
  vantel::detail::Raw_cursor& cursor = opening.cursor();
  for (const Case& c : cases) {
    vantel::detail::Line_reader reader(cursor);
    vantel::detail::Read_line line;
    const std::int64_t start = cursor.find_line_offset(cursor.line_col_of_offset(c.offset).first);
    EXPECT_EQ(
        vantel::detail::place_column(cursor, reader, line, start, c.offset, c.unit, 8, c.origin),
        c.column)
        << c.offset << " in unit " << static_cast<int>(c.unit);
  }
}

TEST(ReportModel, EntriesOfTheTree) {
  const Input input = Input::string(twenty_lines());
  vantel::Report top = report_of(input, {{1, 1}});
  top.children.push_back(report_of(input, {{2, 2}}));
  top.children.push_back(report_of(input, {{3, 3}}));
  top.children.push_back(report_of(input, {{4, 4}}));
  top.children[0].children.push_back(report_of(input, {{5, 5}}));
  struct Case {
    std::int64_t max_children;
    std::int64_t max_depth;
    std::vector<std::pair<std::int64_t, std::int64_t>> depth_and_more;
  };
  const std::vector<Case> cases = {
      {0, 0, {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 0}}},
      {2, 0, {{0, 0}, {1, 0}, {2, 0}, {1, 0}, {1, 1}}},
      {0, 1, {{0, 0}, {1, 0}, {2, 1}, {1, 0}, {1, 0}}},
  };
  for (const Case& c : cases) {
    vantel::Report_layout options;
    options.max_children = c.max_children;
    options.max_child_depth = c.max_depth;
    vantel::detail::Resolved_report resolved;
    vantel::detail::resolve_report(top, options, resolved);
    std::vector<std::pair<std::int64_t, std::int64_t>> got;
    for (const auto& e : resolved.entries) got.emplace_back(e.depth, e.more);
    EXPECT_EQ(got, c.depth_and_more) << c.max_children << " " << c.max_depth;
    resolved.openings.close();
  }
}

}  // namespace
