// SPDX-License-Identifier: MIT
// The shorter forms of common calls give what the longer ones give.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using vantel::Input;
using vantel::Location;
using vantel::Position;

const Input text = Input::string("x = 1\ny = x + \xF0\x9F\x98\x80 + 2\n");

TEST(ShortCalls, LocationsAndPositionsQuoteAsTheirLongForms) {
  const std::pair<Location, Location> same[] = {
      {Location::of_offsets(6, 7), {Position::of_offset(6), Position::of_offset(7)}},
      {Location::of_line_cols(2, 5, 2, 6),
       {Position::of_line_col(2, 5), Position::of_line_col(2, 6)}},
      // LSP counts from 0, in UTF-16 code units: the emoji is two of them.
      {{Position::of_lsp(1, 13), Position::of_lsp(1, 14)},
       {Position::of_line_col(2, 14, vantel::Column_unit::Utf16),
        Position::of_line_col(2, 15, vantel::Column_unit::Utf16)}},
      {std::make_pair(Position::of_offset(0), Position::of_offset(1)), Location::of_offsets(0, 1)},
  };
  for (const auto& [short_form, long_form] : same)
    EXPECT_EQ(vantel::to_string(text, {short_form}), test::quote(text, {long_form}));
  const auto [start, end] = Location::of_offsets(2, 3);
  EXPECT_EQ(Position::to_offset(text, end), 3);
  EXPECT_EQ(Position::to_offset(text, Location::of_offsets(4, 5).first), 4);
}

TEST(ShortCalls, LabelsFromBraceListsAndPositionPairsDrawAsTheLongForm) {
  const Position p = Position::of_offset(10);
  const Position q = Position::of_offset(11);
  vantel::Report brief;
  brief.severity = vantel::Severity::Error;
  brief.message = "unknown name";
  brief.labels.push_back({text, "a.calc", {p, q}, "here"});
  brief.labels.emplace_back(text, "a.calc", Position::of_offset(4), Position::of_offset(5),
                            "assigned here", vantel::Label_kind::Secondary);
  vantel::Report wordy = brief;
  wordy.labels = {vantel::Label::primary(vantel::Source(text, "a.calc"), Location(p, q), "here"),
                  vantel::Label::secondary(vantel::Source(text, "a.calc"),
                                           Location::of_offsets(4, 5), "assigned here")};
  std::ostringstream out;
  vantel::Formatter formatter(out);
  vantel::pp_report(formatter, wordy);
  EXPECT_EQ(vantel::to_string(brief), out.str());
}

}  // namespace
