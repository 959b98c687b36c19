// SPDX-License-Identifier: MIT
// Converts every offset of a fuzzer-chosen text to a line and column in each
// unit and back, and checks that a column given by to_line_col names the
// start of the character it came from: to_line_col of of_line_col is the
// identity on such columns, and both directions keep their order; and that
// counting a line handed in pieces of any size answers as counting it whole.
#include "fuzz_check.hpp"

#include "text/column_units.hpp"

#include <vantel/vantel.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vantel::Column_unit;
using vantel::Input;
using vantel::Line_col;
using vantel::Position;

// Every conversion reads its line: keep lines short enough that checking
// each offset of each line stays quick.
constexpr std::size_t max_text = 600;

void check_unit(const Input& input, const std::vector<std::int64_t>& starts, std::int64_t size,
                Column_unit unit, int tab_width) {
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const auto line = static_cast<std::int64_t>(k) + 1;
    const std::int64_t begin = starts[k];
    // Through the line feed, or a little past the end of the text.
    const std::int64_t end = k + 1 < starts.size() ? starts[k + 1] : size + 2;
    std::int64_t previous_col = 1;
    std::int64_t last_col = 1;
    for (std::int64_t at = begin; at < end; ++at) {
      const Line_col got = Position::to_line_col(input, Position::of_offset(at), unit, tab_width);
      CHECK(got.line == line);
      CHECK(got.col >= previous_col);
      CHECK(unit != Column_unit::Bytes || got.col == at - begin + 1);
      const std::int64_t start =
          Position::to_offset(input, Position::of_line_col(line, got.col, unit, tab_width));
      CHECK(start <= at && start >= begin);
      CHECK(Position::to_line_col(input, Position::of_offset(start), unit, tab_width) == got);
      previous_col = got.col;
      last_col = got.col;
    }
    // Columns in any order of magnitude resolve in order, inside the line
    // but for bytes, and past the end of the line to its end.
    if (unit == Column_unit::Bytes) continue;
    std::int64_t previous = begin;
    for (std::int64_t col = -1; col <= last_col + 2; ++col) {
      const std::int64_t o =
          Position::to_offset(input, Position::of_line_col(line, col, unit, tab_width));
      CHECK(o >= previous);
      CHECK(Position::to_line_col(input, Position::of_offset(o), unit, tab_width).col <=
            (col < 1 ? 1 : col));
      previous = o;
    }
    CHECK(previous ==
          Position::to_offset(input, Position::of_line_col(line, fuzz::max64, unit, tab_width)));
  }
}

// Feeds `counter` the line `piece` bytes at a time until `ask(last)` answers.
template <class Ask>
void in_pieces(std::string_view line, std::size_t piece, vantel::detail::Unit_counter& counter,
               Ask ask) {
  for (std::size_t at = 0;; at += piece) {
    counter.buffer().append(line.substr(std::min(at, line.size()), piece));
    const bool last = at + piece >= line.size();
    if (ask(last) || last) return;
  }
}

void check_pieces(std::string_view line, Column_unit unit, int tab_width) {
  for (const std::size_t piece : {1u, 2u, 3u, 5u, 64u}) {
    for (std::int64_t col = 2; col <= static_cast<std::int64_t>(line.size()) + 2; ++col) {
      vantel::detail::Unit_counter counter(unit, tab_width);
      in_pieces(line, piece, counter, [&](bool last) { return counter.to_column(col, last); });
      CHECK(static_cast<std::size_t>(counter.byte()) ==
            vantel::detail::byte_of_column(line, col, unit, tab_width));
    }
    for (std::size_t at = 0; at <= line.size() + 1; ++at) {
      vantel::detail::Unit_counter counter(unit, tab_width);
      in_pieces(line, piece, counter,
                [&](bool last) { return counter.to_byte(static_cast<std::int64_t>(at), last); });
      CHECK(counter.column() == vantel::detail::column_of_byte(line, at, unit, tab_width));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte: the tab width, and whether to read through a stream.
  const int tab_width = 1 + data[0] % 64;
  const bool stream = (data[0] & 0x80) != 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (text.size() > max_text) text.resize(max_text);

  std::vector<std::int64_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(static_cast<std::int64_t>(i) + 1);

  std::istringstream channel(text);
  const Input input = stream ? Input::in_channel(channel) : Input::string(text);
  const auto length = static_cast<std::int64_t>(text.size());
  for (const Column_unit unit :
       {Column_unit::Bytes, Column_unit::Utf16, Column_unit::Code_points, Column_unit::Display}) {
    check_unit(input, starts, length, unit, tab_width);
    // The first line, whose pieces the walk may split anywhere.
    check_pieces(std::string_view(text).substr(0, std::min<std::size_t>(text.find('\n'), 200)),
                 unit, tab_width);
  }
  return 0;
}
