// SPDX-License-Identifier: MIT
// Locations resolved to what exported diagnostics say of them: lines and
// columns in a unit, offsets in that unit, and the located text.
#pragma once

#include "input/raw_cursor.hpp"
#include "model/label_span.hpp"

#include <vantel/column_unit.hpp>
#include <vantel/input.hpp>
#include <vantel/position.hpp>
#include <vantel/source.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Lines are 1-based, columns 1-based in the reader's unit, the end column
// the one after the region's last character. A column counts every
// character of its line but the line feed and a carriage return before it;
// `char_offset` and `char_length` count the carriage return too.
struct Region {
  std::int64_t start_line = 1;
  std::int64_t start_col = 1;
  std::int64_t end_line = 1;
  std::int64_t end_col = 1;
  std::int64_t char_offset = 0;  // units before the region, from the input's start
  std::int64_t char_length = 0;  // units in the region
  std::int64_t start_line_offset = 0;
  bool has_text = false;     // none when the region holds more than max_snippet_bytes
  bool file_offsets = true;  // false once shifted: the offsets count from an excerpt
  std::string text;          // the region's bytes
  // The located bytes as given, and the input's length when they reach
  // past its end, for the note that says so.
  Span span;
  std::optional<std::int64_t> size_if_past;
};

// `region`, read on an excerpt that `source` says starts at its first line
// and column of a file, as that file numbers it; once shifted, its offsets
// count from the excerpt's start, not the file's, and `file_offsets` says so.
void shift_to_file(Region& region, const Source& source) noexcept;

// The most bytes a region's text holds: a region's memory never follows the
// size of its lines.
inline constexpr std::int64_t max_snippet_bytes = std::int64_t{1} << 16;

// Hands `take` the line that starts at `start` in pieces, without the blanks
// (spaces, tabs, carriage returns, vertical tabs, form feeds) at either end;
// holds a piece at a time, never the whole of a long line.
void trimmed_line(const Input& input, std::int64_t start,
                  const std::function<void(std::string_view)>& take);

// Resolves locations as a report places its labels: a reversed location is
// a point at its start, an offset past the end of the input stands at its
// end, and a lexer position without an offset gives no region. Each call
// opens the input and closes it before returning.
class Region_reader {
 public:
  // `with_chars`: compute char_offset, char_length and the text (else left
  // empty, for formats that give lines and columns alone), which in units other
  // than bytes reads every line before the region once per input (kept for
  // later calls, so that regions in any order cost one pass).
  Region_reader(Column_unit unit, bool with_chars) noexcept
      : unit_(unit), with_chars_(with_chars) {}

  [[nodiscard]] std::optional<Region> read(const Input& input, const Location& location);
  // The same on `source`'s input, numbered as the file that it may be an
  // excerpt of numbers it.
  [[nodiscard]] std::optional<Region> read(const Source& source, const Location& location) {
    std::optional<Region> region = read(source.input, location);
    if (region) shift_to_file(*region, source);
    return region;
  }

  // One end of a region: its line, the line's start, the offset (cut to the
  // line's end) and its column.
  struct Point {
    std::int64_t line = 1;
    std::int64_t line_start = 0;
    std::int64_t offset = 0;
    std::int64_t col = 1;
    std::int64_t units_in_line = 0;  // units from the line's start, carriage returns counted
  };

 private:
  struct Line_units {
    Input input;
    std::vector<std::int64_t> before;  // [k]: units before line k + 1
  };
  Line_units& units_of(const Input& input);
  // Fills `units` as far as line `last`.
  void count_lines(Raw_cursor& cursor, Line_units& units, std::int64_t last);
  // char_offset and char_length of the region from `a` to `b`.
  void count_chars(Raw_cursor& cursor, const Input& input, const Point& a, const Point& b,
                   Region& region);

  Column_unit unit_;
  bool with_chars_;
  std::vector<Line_units> units_;
};

}  // namespace vantel::detail
