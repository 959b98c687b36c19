// SPDX-License-Identifier: MIT
// Every failure names its input, the position as given and what is wrong, and
// each non-throwing twin reports what its throwing form throws.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using vantel::Error;
using vantel::Input;
using vantel::Location;
using vantel::Position;

const Input three_lines = Input::string("one\ntwo\nsix\n", "a.c");

vantel::Report report_past_the_end() {
  vantel::Report report;
  report.message = "mismatched types";
  report.labels.emplace_back(three_lines, "a.c", Position::of_offset(0), Position::of_offset(3));
  report.labels.emplace_back(Input::string("x\ny\nz"), "b.c", Position::of_line_col(50, 1),
                             Position::of_line_col(50, 2), "declared here");
  return report;
}

// One fix whose message and source name hold escapes, ending before it starts.
const vantel::Source red(Input::string("abc"), "\x1b[31mred");
std::vector<vantel::Fix> fix_with_controls() {
  const vantel::Source& source = red;
  return {{"f\x1b", {vantel::Edit(source, Location::of_offsets(2, 1), "x")}, {}}};
}

// Quotes `text` at line 9, by its default name.
std::function<void()> quote_line_9(const char* text) {
  return [text] { (void)test::quote(Input::string(text), {Location::of_line_cols(9, 1, 9, 2)}); };
}

struct Case {
  const char* what;
  std::function<void()> throwing;
  std::function<void(Error&)> twin;  // none where the row pins a message only
  std::errc code;
  std::string message;
  // The place the failure carries as fields: the input's name as given, and
  // the line; none for a failure about no input.
  std::string input;
  std::int64_t line = 0;
};

std::vector<Case> cases() {
  const Location line_50 = Location::of_line_cols(50, 1, 50, 2);
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  return {
      {"a quote past the last line", [=] { (void)vantel::to_string(three_lines, {line_50}); },
       [=](Error& e) { (void)vantel::to_string(three_lines, {line_50}, e); },
       std::errc::result_out_of_range, "a.c: line 50 is past the last line (3)", "a.c", 50},
      {"a line before the first",
       [=] { (void)test::quote(three_lines, {Location::of_line_cols(0, 1, 1, 1)}); },
       [=](Error& e) {
         std::ostringstream out;
         vantel::Formatter f(out);
         vantel::pp(three_lines, f, {Location::of_line_cols(0, 1, 1, 1)}, e);
       },
       std::errc::result_out_of_range, "a.c: line 0 is before the first line", "a.c"},
      {"an empty text", quote_line_9(""), nullptr, std::errc::result_out_of_range,
       "<string>: line 9 is past the end of an empty text", "<string>", 9},
      {"a text without a final line feed", quote_line_9("a\nb"), nullptr,
       std::errc::result_out_of_range, "<string>: line 9 is past the last line (2)", "<string>", 9},
      {"a text of one line feed", quote_line_9("\n"), nullptr, std::errc::result_out_of_range,
       "<string>: line 9 is past the last line (1)", "<string>", 9},
      {"a column too far for an offset",
       [=] { (void)Position::to_offset(three_lines, Position::of_line_col(2, max)); },
       [=](Error& e) { (void)Position::to_offset(three_lines, Position::of_line_col(2, max), e); },
       std::errc::value_too_large,
       "a.c: line 2, column 9223372036854775807 does not fit in a 64-bit offset", "a.c", 2},
      {"a shift too far",
       [=] {
         (void)Position::to_offset(three_lines, Position::shift(Position::of_offset(5), max));
       },
       nullptr, std::errc::value_too_large,
       "a.c: a shift by 9223372036854775807 takes the offset past 64 bits", "a.c"},
      {"a line and column of a buffer",
       [] {
         (void)Position::to_line_col(Input::bytes(nullptr), Position::of_line_col(9, 1),
                                     vantel::Column_unit::Utf16);
       },
       [](Error& e) {
         (void)Position::to_line_col(Input::bytes(nullptr), Position::of_line_col(9, 1),
                                     vantel::Column_unit::Utf16, e);
       },
       std::errc::result_out_of_range, "<bytes>: line 9 is past the end of an empty text",
       "<bytes>", 9},
      {"a lexer record of a moved-from position",
       [=] {
         Position p = Position::of_offset(1);
         const Position taken = std::move(p);
         (void)Position::to_lexing(three_lines)(p);  // NOLINT(bugprone-use-after-move)
       },
       [=](Error& e) {
         Position p = Position::of_offset(1);
         const Position taken = std::move(p);
         (void)Position::to_lexing(three_lines, p, "a.c", e);  // NOLINT(bugprone-use-after-move)
       },
       std::errc::invalid_argument, "a.c: cannot resolve a position that was moved from", "a.c"},
      {"a report label past the last line", [] { (void)vantel::to_string(report_past_the_end()); },
       [](Error& e) { (void)vantel::to_string(report_past_the_end(), e); },
       std::errc::result_out_of_range,
       "report label 2 (\"declared here\"), b.c: line 50 is past the last line (3)", "b.c", 50},
      {"a label whose name and message hold controls",
       [] {
         vantel::Report report;
         report.labels.emplace_back(Input::string(""), "b\x1b[2J.c", Position::of_line_col(7, 1),
                                    Position::of_line_col(7, 1), "x\x07");
         (void)vantel::to_string(report);
       },
       nullptr, std::errc::result_out_of_range,
       "report label 1 (\"x<0x07>\"), b<0x1B>[2J.c: line 7 is past the end of an empty text",
       "b\x1b[2J.c", 7},
      {"a fix whose name and message hold controls",
       [] { (void)vantel::apply(red, fix_with_controls()); },
       [](Error& e) { (void)vantel::apply(red, fix_with_controls(), e); },
       std::errc::invalid_argument,
       "fix 1 (\"f<0x1B>\"): edit 1 in <0x1B>[31mred (bytes 2..1): ends before it starts",
       "\x1b[31mred", 0},
      {"a file whose name holds a line feed and escapes",
       [] { (void)Input::file("\x1b[31mred\n2").open(); },
       [](Error& e) { (void)Input::file("\x1b[31mred\n2").open(e); },
       std::errc::no_such_file_or_directory, "<0x1B>[31mred<0x0A>2: No such file or directory",
       "\x1b[31mred\n2", 0},
      {"a file whose name holds a NUL, an override and a stray byte",
       [] { (void)Input::file(std::string("a\0b\u202e\xff", 7)).open(); },
       [](Error& e) { (void)Input::file(std::string("a\0b\u202e\xff", 7)).open(e); },
       std::errc::invalid_argument, "a<0x00>b<U+202E><0xFF>: Invalid argument",
       std::string("a\0b\u202e\xff", 7), 0},
      {"a tab width out of range",
       [] { (void)Position::of_line_col(1, 1, vantel::Column_unit::Display, 0); },
       [](Error& e) { (void)Position::of_line_col(1, 1, vantel::Column_unit::Display, 0, e); },
       std::errc::invalid_argument,
       "vantel::Position::of_line_col: tab width 0 is not between 1 and 64", ""},
  };
}

TEST(FailureMessages, NameTheInputThePositionAndWhatIsWrong) {
  for (const Case& c : cases()) {
    std::string thrown;
    std::string input;
    std::int64_t line = 0;
    try {
      c.throwing();
      ADD_FAILURE() << c.what << ": nothing thrown";
    } catch (const std::exception& e) {
      thrown = e.what();
      const auto* place = dynamic_cast<const vantel::Failure_place*>(&e);
      EXPECT_EQ(place != nullptr, !c.input.empty()) << c.what;
      if (place != nullptr) std::tie(input, line) = std::pair(place->input(), place->line());
    }
    EXPECT_EQ(thrown, c.message) << c.what;
    EXPECT_EQ(std::pair(input, line), std::pair(c.input, c.line)) << c.what;
    if (!c.twin) continue;
    Error error;
    c.twin(error);
    EXPECT_EQ(error.code, std::make_error_code(c.code)) << c.what;
    EXPECT_EQ(error.message, thrown) << c.what;
    EXPECT_EQ(std::pair(error.input, error.line), std::pair(c.input, c.line)) << c.what;
  }
}

// The twins of calls that touch the file system keep the system's code.
TEST(FailureMessages, TwinsOfFileCallsKeepTheSystemsCode) {
  const std::string missing = "/nonexistent/vantel/a.c";
  const Input file = Input::file(missing);
  const std::vector<std::function<void(Error&)>> twins = {
      [&](Error& e) { (void)file.open(e); },
      [&](Error& e) { (void)Position::to_offset(file, Position::of_offset(0), e); },
      [&](Error& e) { (void)vantel::to_string(file, {Location::of_offsets(0, 1)}, e); },
  };
  for (std::size_t k = 0; k < twins.size(); ++k) {
    Error error;
    twins[k](error);
    EXPECT_EQ(error.code, std::error_code(ENOENT, std::generic_category())) << k;
    EXPECT_EQ(error.message.rfind(missing + ": ", 0), 0U) << k << ": " << error.message;
    EXPECT_EQ(error.input, missing) << k;
  }
  Error error;
  const vantel::Opened opened = file.open(error);
  EXPECT_THROW((void)test::quote(opened, {Location::of_offsets(0, 1)}), std::invalid_argument);
  // A twin that succeeds leaves the error empty, whatever it held.
  (void)Position::to_offset(three_lines, Position::of_offset(2), error);
  EXPECT_FALSE(error);
  EXPECT_TRUE(error.message.empty());
}

}  // namespace
