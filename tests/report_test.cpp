// SPDX-License-Identifier: MIT
// Reports: what each tag encloses, what is left out, what fails and when,
// and how inputs are opened. The layouts themselves are pictured in
// report_snapshot_test.cpp.
#include <vantel/vantel.hpp>

#include "helpers.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using vantel::Input;
using vantel::Label;
using vantel::Label_kind;
using vantel::Position;
using vantel::Report;

Report report_of(std::vector<Label> labels, std::vector<vantel::Note> notes = {}) {
  Report r;
  r.code = "E1";
  r.message = "bad";
  r.labels = std::move(labels);
  r.notes = std::move(notes);
  return r;
}

std::string draw(const Report& report, const vantel::Layout& options = {}) {
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp_report(f, report, options);
  return out.str();
}

// Marks every tag with a short name where it opens and closes.
std::string draw_tagged(const Report& report) {
  std::ostringstream out;
  vantel::Formatter f(out);
  const auto name = [&](const vantel::Stag& tag) -> std::string {
    const vantel::Style_tag* s = tag.style();
    if (s == nullptr) return "host";
    switch (s->role()) {
      case vantel::Role::Severity:
        return "sev:" + s->severity();
      case vantel::Role::Primary:
        return "P";
      case vantel::Role::Secondary:
        return "S";
      case vantel::Role::Message:
        return "M";
      case vantel::Role::Margin:
        return "G";
      case vantel::Role::Escaped:
        return "E";
      case vantel::Role::Cut_marker:
        return "C";
      case vantel::Role::Link:
        return "L:" + s->target();
    }
    return "?";
  };
  f.set_stag_functions({[&](const vantel::Stag& t) { return "<" + name(t) + ">"; },
                        [&](const vantel::Stag& t) { return "</" + name(t) + ">"; },
                        {},
                        {}});
  f.set_mark_tags(true);
  vantel::pp_report(f, report);
  return out.str();
}

// A label of a text shown as "t": labels of the same text share one input,
// so that they are drawn together.
Label primary(const std::string& text, std::int64_t start, std::int64_t end, std::string message) {
  static std::map<std::string, Input> inputs;
  const Input& input = inputs.try_emplace(text, Input::string(text)).first->second;
  return Label::primary({input, "t"}, {Position::of_offset(start), Position::of_offset(end)},
                        std::move(message));
}

// The picture at the top of report.hpp.
TEST(Report, DrawsThePictureOfItsHeader) {
  const Input text = Input::string("let width = \"text\"\nlet height = 2\nprint width + height\n");
  Report r;
  r.code = "E0308";
  r.message = "mismatched types";
  r.labels.emplace_back(text, "main.calc",
                        vantel::Location{Position::of_line_col(3, 7), Position::of_line_col(3, 12)},
                        "expected a number");
  r.labels.emplace_back(
      text, "main.calc",
      vantel::Location{Position::of_line_col(3, 15), Position::of_line_col(3, 21)},
      "declared here as text", Label_kind::Secondary);
  r.notes.push_back({"note", "text and numbers do not mix"});
  EXPECT_EQ(draw(r), R"(error[E0308]: mismatched types
 --> main.calc:3:7
  |
3 | print width + height
  |       ^^^^^   ------ declared here as text
  |       |
  |       expected a number
  |
  = note: text and numbers do not mix
)");
}

TEST(ReportTags, EncloseEachPartOfTheDrawing) {
  const Input text = Input::string("a = b\nc = (d\n+ e)\n");
  Report r = report_of({Label(text, "t", {Position::of_offset(4), Position::of_offset(5)}, "x"),
                        Label(text, "t", {Position::of_offset(0), Position::of_offset(1)}, "y",
                              Label_kind::Secondary),
                        Label(text, "t", {Position::of_offset(10), Position::of_offset(16)}, "z",
                              Label_kind::Secondary)},
                       {{"help", "h"}});
  EXPECT_EQ(draw_tagged(r), R"(<sev:error>error[E1]</sev:error>: bad
 <G>--></G> t:1:5
  <G>|</G>
<G>1</G> <G>|</G>   a = b
  <G>|</G>   <S>-</S>   <P>^</P> <M>x</M>
  <G>|</G>   <S>|</S>
  <G>|</G>   <M>y</M>
<G>2</G> <G>|</G>   c = (d
  <G>|</G>  <S>_____</S><S>-</S>
<G>3</G> <G>|</G> <S>|</S> + e)
  <G>|</G> <S>|</S><S>___</S><S>-</S> <M>z</M>
  <G>|</G>
  <G>=</G> <sev:help>help</sev:help>: h
)");
}

TEST(ReportTags, AreBalancedAndNeverSpanARow) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "\tline \xe5\x90\x8d " + std::to_string(i) + "\n";
  const Input input = Input::string(text);
  std::vector<Label> labels;
  for (int i = 0; i < 60; ++i)
    labels.emplace_back(
        input, i % 3 == 0 ? "a" : "b",
        vantel::Location{Position::of_offset(i * 7 % 500), Position::of_offset(i * 13 % 600)},
        i % 2 == 0 ? "m" : "", i % 4 == 0 ? Label_kind::Primary : Label_kind::Secondary);
  const std::string out = draw_tagged(report_of(std::move(labels), {{"note", "n\nm"}}));
  int depth = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out.compare(i, 2, "</") == 0)
      --depth;
    else if (out[i] == '<' && out.compare(i, 3, "<0x") != 0 && out.compare(i, 3, "<U+") != 0)
      ++depth;
    ASSERT_GE(depth, 0) << out;
    ASSERT_LE(depth, 1) << out;
    if (out[i] == '\n') {
      ASSERT_EQ(depth, 0) << out;
    }
  }
  EXPECT_EQ(depth, 0);
}

// Spaces of the text itself are kept.
TEST(Report, RowsNeverEndInSpacesOfTheirOwn) {
  const std::string out = draw(report_of({primary("x  \n\ny\n", 0, 6, "")}));
  EXPECT_EQ(out, R"(error[E1]: bad
 --> t:1:1
  |
1 |   x  
  |  _^
2 | |
3 | | y
  | |_^
)");
}

TEST(Report, WithoutLabelsIsAHeaderAndNotes) {
  Report r = report_of({}, {{"note", "first"}, {"", "no kind"}});
  r.severity = vantel::Severity::custom("lint");
  r.code.clear();
  EXPECT_EQ(draw(r), R"(lint: bad
  = note: first
  = no kind
)");
}

TEST(Report, LeavesOutLabelsWithoutAnOffset) {
  const vantel::lexing_position none{"t", 1, 0, -1};
  Report r = report_of({Label(Input::string("abc\n"), "t",
                              {Position::of_lexing(none), Position::of_offset(2)}, "gone")});
  EXPECT_EQ(draw(r), "error[E1]: bad\n");
}

TEST(Report, DrawsAReversedLocationAsAPointAtItsStart) {
  EXPECT_EQ(draw(report_of({primary("abcdef\n", 4, 1, "here")})), R"(error[E1]: bad
 --> t:1:5
  |
1 | abcdef
  |     ^ here
)");
}

TEST(Report, ClampsOffsetsToTheInput) {
  EXPECT_EQ(
      draw(report_of({primary("ab\ncd", -5, 1, "before"), primary("ab\ncd", 4, 99, "after")})),
      R"(error[E1]: bad
 --> t:1:1
  |
1 | ab
  | ^ before
2 | cd
  |  ^ after
  |
  = note: label 2 ("after"): bytes 4..99 reach past the end of t (5 bytes), placed at its end
)");
}

TEST(Report, AnOffsetFarPastTheEndStandsAtTheEnd) {
  const std::int64_t far = INT64_MAX;
  EXPECT_EQ(draw(report_of({primary("ab\n", far, far, "far")})), R"(error[E1]: bad
 --> t:2:1
  |
2 |
  | ^ far
  |
  = note: label 1 ("far"): bytes 9223372036854775807..9223372036854775807 reach past the end of t (3 bytes), placed at its end
)");
}

TEST(Report, ALineShownBetweenTwoOthersIsCutToo) {
  vantel::Layout options;
  options.width = 8 + 8;  // "1 | | " and a cut marker on each side
  EXPECT_EQ(draw(report_of({primary("abc\n0123456789abc\nxyz\n", 1, 21, "")}), options),
            R"(error[E1]: bad
 --> t:1:2
  |
1 |   abc
  |  __^
2 | | 01234567…
3 | | xyz
  | |___^
)");
}

TEST(Report, WindowsOfALongLineHoldEveryLabel) {
  const std::string line(10000, 'x');
  std::vector<Label> labels;
  for (int i = 0; i < 5; ++i) labels.push_back(primary(line, i * 2000 + 7, i * 2000 + 9, "m"));
  vantel::Layout options;
  options.width = 20 + 6;
  const std::string out = draw(report_of(std::move(labels)), options);
  std::size_t rows = 0;
  std::size_t messages = 0;
  std::istringstream in(out);
  for (std::string row; std::getline(in, row);) {
    ++rows;
    if (row.size() > 4 && row.compare(row.size() - 2, 2, " m") == 0) ++messages;
    // A text row: the gutter, at most one marker a side, and the window.
    if (row.rfind("1 | ", 0) == 0) {
      EXPECT_LE(row.size(), 4 + 3 + 20 + 3) << row;  // a marker takes 3 bytes
    }
  }
  EXPECT_EQ(messages, 5u) << out;
  EXPECT_EQ(rows, 3 + 5 * 2u) << out;
}

TEST(ReportFailures, BadOptionsThrowBeforeAnythingIsPrinted) {
  std::ostringstream out;
  vantel::Formatter f(out);
  const Report r = report_of({primary("a\n", 0, 1, "")});
  for (const auto& [tab_width, width] : {std::pair{0, 0}, std::pair{65, 0}, std::pair{8, -1}}) {
    vantel::Layout options;
    options.tab_width = tab_width;
    options.width = width;
    EXPECT_THROW(vantel::pp_report(f, r, options), std::invalid_argument);
  }
  for (const auto& [before, after, body] :
       {std::tuple{-2, -1, 0}, std::tuple{-1, -5, 0}, std::tuple{-1, -1, -1}}) {
    vantel::Layout options;
    options.report.context_before = before;
    options.report.context_after = after;
    options.report.max_body_lines = body;
    EXPECT_THROW(vantel::pp_report(f, r, options), std::invalid_argument);
  }
  EXPECT_EQ(out.str(), "");
}

TEST(ReportFailures, AnExcerptNumberedBeforeTheFirstLineOrPastTheLastThrowsFirst) {
  std::ostringstream out;
  vantel::Formatter f(out);
  for (const auto& [line, column] :
       {std::pair<std::int64_t, std::int64_t>{0, 0}, {1, -1}, {INT64_MAX, 0}}) {
    vantel::Source cell(Input::string("a\nb\n"), "cell");
    cell.first_line = line;
    cell.first_column = column;
    Report r = report_of({Label(cell, Position::of_offset(2), Position::of_offset(3))});
    EXPECT_THROW(vantel::pp_report(f, r), std::invalid_argument) << line << "," << column;
  }
  EXPECT_EQ(out.str(), "");
}

TEST(ReportFailures, APositionOutsideTheInputThrowsBeforeAnythingIsPrinted) {
  std::ostringstream out;
  vantel::Formatter f(out);
  const Input text = Input::string("a\nb\n");
  const Report r = report_of(
      {Label(text, "t", {Position::of_offset(0), Position::of_offset(1)}, "fine"),
       Label(text, "t", {Position::of_line_col(9, 1), Position::of_line_col(9, 2)}, "no line 9")});
  EXPECT_THROW(vantel::pp_report(f, r), std::out_of_range);
  EXPECT_EQ(out.str(), "");
}

TEST(ReportInputs, AFileIsOpenedOnceAndClosedAfterwards) {
  const test::Temp_file file("let a = 1\nlet b = a +\n");
  const Input input = Input::file(file.path());
  const std::size_t before = test::open_descriptors();
  Report r = report_of(
      {Label(input, "f", {Position::of_line_col(2, 9), Position::of_line_col(2, 10)}, "a"),
       Label(input, "f", {Position::of_line_col(1, 5), Position::of_line_col(1, 6)}, "b",
             Label_kind::Secondary)});
  EXPECT_EQ(draw(r), R"(error[E1]: bad
 --> f:2:9
  |
1 | let a = 1
  |     - b
2 | let b = a +
  |         ^ a
)");
  EXPECT_EQ(test::open_descriptors(), before);
  // Also when a position fails.
  r.labels.emplace_back(input, "f",
                        vantel::Location{Position::of_line_col(7, 1), Position::of_line_col(7, 1)});
  EXPECT_THROW(draw(r), std::out_of_range);
  EXPECT_EQ(test::open_descriptors(), before);
}

TEST(ReportInputs, LabelsWithOneNameButTwoInputsAreEachDrawnFromTheirOwn) {
  Report r = report_of({primary("one\n", 0, 3, "a"), primary("two\n", 0, 1, "b")});
  EXPECT_EQ(draw(r), R"(error[E1]: bad
 --> t:1:1
  |
1 | one
  | ^^^ a
  |
 --> t:1:1
  |
1 | two
  | ^ b
)");
}

TEST(ReportInputs, ManagedInputsCloseOncePerReport) {
  int opened = 0;
  int closed = 0;
  const Input input = Input::managed([&] {
    ++opened;
    return std::make_pair(Input::string("abc\n"), vantel::Closer([&] { ++closed; }));
  });
  draw(report_of({Label(input, "m", {Position::of_offset(0), Position::of_offset(1)}),
                  Label(input, "m", {Position::of_offset(1), Position::of_offset(2)})}));
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
}

}  // namespace
