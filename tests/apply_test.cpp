// SPDX-License-Identifier: MIT
// Applying fixes, their diffs, and the checks that come before anything is
// printed; the children of reports and their bounds.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

using vantel::Edit;
using vantel::Fix;
using vantel::Input;
using vantel::Location;
using vantel::Position;
using vantel::Source;

Location bytes(std::int64_t start, std::int64_t end) {
  return {Position::of_offset(start), Position::of_offset(end)};
}

const char* const text = "let width = 12\nprint width\n";

struct Applied {
  const char* name;
  std::vector<std::vector<std::pair<Location, std::string>>> fixes;
  const char* patched;
};

class Apply : public testing::TestWithParam<Applied> {};

TEST_P(Apply, GivesThePatchedText) {
  const Source source(Input::string(text), "a.calc");
  std::vector<Fix> fixes;
  for (const auto& edits : GetParam().fixes) {
    Fix& fix = fixes.emplace_back();
    for (const auto& [where, what] : edits) fix.edits.emplace_back(source, where, what);
  }
  EXPECT_EQ(vantel::apply(source, fixes), GetParam().patched);
}

INSTANTIATE_TEST_SUITE_P(Edits, Apply,
                         testing::Values(Applied{"nothing", {}, "let width = 12\nprint width\n"},
                                         Applied{"inserts",
                                                 {{{bytes(0, 0), "// "}, {bytes(14, 14), ";"}}},
                                                 "// let width = 12;\nprint width\n"},
                                         Applied{"replaces_and_deletes",
                                                 {{{bytes(4, 9), "w"}, {bytes(20, 26), ""}}},
                                                 "let w = 12\nprint\n"},
                                         Applied{"over_lines",
                                                 {{{bytes(10, 21), "= 12; print "}}},
                                                 "let width = 12; print width\n"},
                                         // Every offset refers to the text before any fix.
                                         Applied{"two_fixes_at_once",
                                                 {{{bytes(4, 9), "w"}}, {{bytes(21, 26), "w"}}},
                                                 "let w = 12\nprint w\n"}),
                         [](const testing::TestParamInfo<Applied>& param) {
                           return std::string(param.param.name);
                         });

struct Refused {
  const char* name;
  std::vector<std::vector<Location>> fixes;
  std::errc code;
  const char* message;
};

class ApplyRefuses : public testing::TestWithParam<Refused> {};

TEST_P(ApplyRefuses, NamingTheFix) {
  const Source source(Input::string(text), "a.calc");
  std::vector<Fix> fixes;
  for (const auto& edits : GetParam().fixes) {
    Fix& fix = fixes.emplace_back();
    fix.message = "fix it";
    for (const Location& where : edits) fix.edits.emplace_back(source, where, "x");
  }
  vantel::Error error;
  EXPECT_EQ(vantel::apply(source, fixes, error), "");
  EXPECT_EQ(error.code, std::make_error_code(GetParam().code));
  EXPECT_EQ(error.message, GetParam().message);
  vantel::Error diff_error;
  EXPECT_EQ(vantel::unified_diff(fixes, diff_error), "");
  EXPECT_EQ(diff_error.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ApplyRefuses,
    testing::Values(
        Refused{"overlapping",
                {{bytes(4, 9), bytes(7, 8)}},
                std::errc::invalid_argument,
                "fix 1 (\"fix it\"): edits 1 and 2 overlap in a.calc (bytes 4..9 and 7..8)"},
        Refused{"two_insertions_at_one_place",
                {{bytes(3, 3), bytes(3, 3)}},
                std::errc::invalid_argument,
                "fix 1 (\"fix it\"): edits 1 and 2 overlap in a.calc (bytes 3..3 and 3..3)"},
        Refused{"across_fixes",
                {{bytes(0, 2)}, {bytes(20, 22), bytes(1, 3)}},
                std::errc::invalid_argument,
                "fix 1 (\"fix it\") and fix 2 (\"fix it\"): edit 1 and edit 2 overlap in a.calc "
                "(bytes 0..2 and 1..3)"},
        Refused{"reversed",
                {{bytes(5, 4)}},
                std::errc::invalid_argument,
                "fix 1 (\"fix it\"): edit 1 in a.calc (bytes 5..4): ends before it starts"},
        Refused{"past_the_end",
                {{bytes(20, 40)}},
                std::errc::result_out_of_range,
                "fix 1: edit 1 in a.calc (bytes 20..40) reaches past the end of the input (27 "
                "bytes)"}),
    [](const testing::TestParamInfo<Refused>& param) { return std::string(param.param.name); });

TEST(UnifiedDiff, NamesEachInputAndNumbersBothSides) {
  const Source a(Input::string("one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nten"),
                 "src/a.calc");
  const Source b(Input::string("only\n"), "b.calc");
  Fix fix;
  fix.edits.emplace_back(a, bytes(0, 0), "zero\n");
  fix.edits.emplace_back(b, bytes(0, 5), "");
  fix.edits.emplace_back(a, bytes(45, 48), "TEN");
  EXPECT_EQ(vantel::unified_diff({fix}), R"(--- a/src/a.calc
+++ b/src/a.calc
@@ -1,3 +1,4 @@
+zero
 one
 two
 three
@@ -7,4 +8,4 @@
 seven
 eight
 nine
-ten
\ No newline at end of file
+TEN
\ No newline at end of file
--- a/b.calc
+++ b/b.calc
@@ -1,1 +0,0 @@
-only
)");
}

TEST(UnifiedDiff, RefusesASourceWithoutAName) {
  Fix fix;
  fix.edits.emplace_back(Source(Input::string("x\n"), ""), bytes(0, 1), "y");
  EXPECT_THROW((void)vantel::unified_diff({fix}), std::invalid_argument);
}

std::string draw(const vantel::Report& report, const vantel::Layout& layout = {}) {
  std::ostringstream out;
  vantel::Formatter formatter(out);
  vantel::pp_report(formatter, report, layout);
  return out.str();
}

// A fix that cannot be applied costs the report nothing but itself: the
// labels, a note naming it and why, and the fixes that can be applied.
TEST(ReportFix, OverlappingEditsAreLeftOutWithANoteAndTheRestDrawn) {
  const Source source(Input::string(text), "a.calc");
  vantel::Report report;
  report.message = "m";
  report.labels.push_back(vantel::Label::primary(source, bytes(4, 9)));
  report.fixes.push_back({"first", {{source, bytes(0, 1), "x"}}});
  report.fixes.push_back({"second", {{source, bytes(4, 9), "w"}, {source, bytes(5, 6), "v"}}});
  std::ostringstream out;
  vantel::Formatter formatter(out);
  vantel::pp_report(formatter, report);
  EXPECT_EQ(out.str(), R"(error: m
 --> a.calc:1:5
  |
1 | let width = 12
  |     ^^^^^
  |
  = note: left out, as it cannot be applied: fix 2 ("second"): edits 1 and 2 overlap in a.calc (bytes 4..9 and 5..6)
  = help: first
  |
1 | xet width = 12
  | ~
)");
  EXPECT_THROW((void)vantel::apply(source, report.fixes), std::invalid_argument);
}

vantel::Report note(const std::string& message) {
  vantel::Report report;
  report.severity = vantel::Severity::Note;
  report.message = message;
  return report;
}

TEST(ReportChildren, DepthAndCountAreBounded) {
  vantel::Report report = note("top");
  report.severity = vantel::Severity::Error;
  for (int k = 0; k < 4; ++k) report.children.push_back(note("child " + std::to_string(k)));
  report.children[0].children.push_back(note("grandchild"));
  report.children[0].children[0].children.push_back(note("too deep"));
  vantel::Layout layout;
  layout.report.max_child_depth = 2;
  layout.report.max_children = 2;
  EXPECT_EQ(draw(report, layout), R"(error: top
  = note: child 0
    = note: grandchild
      … 1 more
  = note: child 1
  … 2 more
)");
}

TEST(ReportChildren, AnUnboundedDeepTreeIsDrawnWithoutRecursion) {
  vantel::Report report = note("0");
  vantel::Report* last = &report;
  constexpr int depth = 10'000;
  for (int k = 1; k < depth; ++k) last = &last->children.emplace_back(note(std::to_string(k)));
  vantel::Layout layout;
  layout.report.max_child_depth = 0;
  layout.charset = vantel::Charset::Ascii;
  const std::string out = draw(report, layout);
  EXPECT_NE(out.find("= note (depth 9999): 9999\n"), std::string::npos);
  EXPECT_EQ(out.find("more"), std::string::npos);
}

TEST(ReportChildren, LevelsPastTheEighthAreDrawnAtItsIndentWithTheirDepth) {
  vantel::Report report = note("0");
  vantel::Report* last = &report;
  for (int k = 1; k <= 10; ++k) last = &last->children.emplace_back(note(std::to_string(k)));
  vantel::Layout layout;
  layout.report.max_child_depth = 0;
  const std::string out = draw(report, layout);
  EXPECT_EQ(out.substr(out.find("  = note: 7\n")), R"(  = note: 7
                = note: 8
                = note (depth 9): 9
                = note (depth 10): 10
)");
}

}  // namespace

namespace {

// Edits of one file through two inputs, under one name or two.
TEST(FixInputs, OneFileThroughTwoInputsIsOneText) {
  const test::Temp_file file("one\ntwo\n");
  const vantel::Source a(vantel::Input::file(file.path()), "m1");
  const vantel::Source b(vantel::Input::file(file.path()), "m1");
  const vantel::Source named_otherwise(a.input, "m2");
  const auto edit = [](const vantel::Source& s, std::int64_t start, std::int64_t end) {
    return vantel::Edit(s, vantel::Location::of_offsets(start, end), "X");
  };
  const std::vector<vantel::Fix> apart = {{"f", {edit(a, 0, 1)}, {}}, {"g", {edit(b, 4, 5)}, {}}};
  EXPECT_EQ(vantel::apply(a, apart), "Xne\nXwo\n");
  EXPECT_EQ(vantel::apply(b, apart), "Xne\nXwo\n");
  EXPECT_EQ(vantel::unified_diff(apart), R"(--- a/m1
+++ b/m1
@@ -1,2 +1,2 @@
-one
+Xne
-two
+Xwo
)");
  const std::vector<vantel::Fix> overlapping = {{"f", {edit(a, 0, 2)}, {}},
                                                {"g", {edit(b, 1, 3)}, {}}};
  EXPECT_THROW((void)vantel::apply(a, overlapping), std::invalid_argument);
  EXPECT_THROW((void)vantel::unified_diff(overlapping), std::invalid_argument);
  const std::vector<vantel::Fix> two_names = {
      {"f", {edit(a, 0, 1), edit(named_otherwise, 4, 5)}, {}}};
  EXPECT_THROW((void)vantel::unified_diff(two_names), std::invalid_argument);
  // Another input that cannot be opened is left to its own fixes.
  const vantel::Source missing(vantel::Input::file(file.path() + ".none"), "n");
  EXPECT_EQ(vantel::apply(a, {{"f", {edit(a, 0, 1), edit(missing, 0, 1)}, {}}}), "Xne\ntwo\n");
}

}  // namespace
