// SPDX-License-Identifier: MIT
#include "model/region.hpp"

#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "model/label_span.hpp"
#include "model/span_faults.hpp"
#include "position/line_text.hpp"
#include "support/checked.hpp"
#include "support/wide_integer.hpp"
#include "text/column_units.hpp"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vantel::detail {

namespace {

Region_reader::Point point_at(Raw_cursor& cursor, std::int64_t offset, Column_unit unit) {
  const auto [number, col] = cursor.line_col_of_offset(offset);
  Region_reader::Point p;
  p.line = number;
  p.line_start = checked_sub(offset, col, "line start");
  const Byte_place place = place_of_byte_at(cursor, p.line_start, col, unit, default_tab_width);
  p.offset = checked_add(p.line_start, place.at, "offset");
  p.col = unit == Column_unit::Bytes ? place.at + 1 : place.col;
  p.units_in_line = unit == Column_unit::Bytes ? place.at : place.units_before;
  return p;
}

}  // namespace

void trimmed_line(const Input& input, std::int64_t start,
                  const std::function<void(std::string_view)>& take) {
  constexpr std::size_t piece = std::size_t{1} << 16;
  static constexpr std::string_view blanks = " \t\r\v\f";
  Opening opening(input);
  Line_reader reader(opening.cursor());
  Read_line line;
  // Where the text between the blanks starts and ends, then that text.
  std::int64_t first = -1;
  std::int64_t last = -1;
  std::int64_t seen = 0;
  for (bool more = reader.read(start, line, piece); more;) {
    const std::size_t a = line.text.find_first_not_of(blanks);
    if (a != std::string::npos) {
      if (first < 0) first = seen + static_cast<std::int64_t>(a);
      last = seen + static_cast<std::int64_t>(line.text.find_last_not_of(blanks));
    }
    seen += static_cast<std::int64_t>(line.text.size());
    more = reader.goes_on();
    line.text.clear();
    reader.read_more(line, piece);
  }
  if (first >= 0) read_span(reader, start + first, start + last + 1, take);
  opening.close();
}

Region_reader::Line_units& Region_reader::units_of(const Input& input) {
  for (Line_units& u : units_)
    if (u.input.same_as(input)) return u;
  units_.push_back({input, {0}});
  return units_.back();
}

void Region_reader::count_lines(Raw_cursor& cursor, Line_units& units, std::int64_t last) {
  const auto known = [&] { return static_cast<std::int64_t>(units.before.size()); };
  const auto add = [&](std::int64_t in_line) {
    units.before.push_back(checked_add(units.before.back(), in_line, "units"));
  };
  // Lines are counted once, in order, as far as the furthest region: those
  // whole in what the cursor holds at hand where they stand, a line feed
  // and a carriage return counting one unit each; a longer one in pieces.
  while (known() < last) {
    const std::int64_t start = cursor.find_line_offset(known());
    // Display cells join a carriage return to its line feed: walked per line.
    const std::string_view at_hand =
        unit_ != Column_unit::Display && cursor.seek(start) == Seek_result::Ok ? cursor.buffered()
                                                                               : std::string_view();
    std::size_t used = 0;
    for (std::size_t lf = 0;
         known() < last && (lf = at_hand.find('\n', used)) != std::string_view::npos;
         used = lf + 1) {
      const std::string_view line = at_hand.substr(used, lf + 1 - used);
      add(column_of_byte(line, line.size(), unit_, default_tab_width) - 1);
    }
    if (used == 0)
      add(checked_add(
          place_of_byte_at(cursor, start, max_offset, unit_, default_tab_width).units_before, 1,
          "units"));
  }
}

void Region_reader::count_chars(Raw_cursor& cursor, const Input& input, const Point& a,
                                const Point& b, Region& region) {
  std::int64_t before_a = a.line_start;
  std::int64_t before_b = b.line_start;
  if (unit_ != Column_unit::Bytes) {
    Line_units& units = units_of(input);
    count_lines(cursor, units, b.line);
    before_a = units.before[static_cast<std::size_t>(a.line - 1)];
    before_b = units.before[static_cast<std::size_t>(b.line - 1)];
  }
  region.char_offset = checked_add(before_a, a.units_in_line, "char offset");
  region.char_length = checked_add(before_b, b.units_in_line, "char offset") - region.char_offset;
}

std::optional<Region> Region_reader::read(const Input& input, const Location& location) {
  Opening opening(input);
  Raw_cursor& cursor = opening.cursor();
  const std::optional<Span> span = span_of(cursor, location);
  if (!span) return std::nullopt;
  const Region_reader::Point a = point_at(cursor, span->start, unit_);
  const Region_reader::Point b = point_at(cursor, std::max(span->end, a.offset), unit_);
  Region region;
  region.start_line = a.line;
  region.start_col = a.col;
  region.end_line = b.line;
  region.end_col = b.col;
  region.start_line_offset = a.line_start;
  region.span = *span;
  region.size_if_past = size_if_past(cursor, span->end);
  if (with_chars_) {
    if (b.offset - a.offset <= max_snippet_bytes) {
      Line_reader reader(cursor);
      read_span(reader, a.offset, b.offset,
                [&](std::string_view piece) { region.text.append(piece); });
      region.has_text = true;
    }
    count_chars(cursor, input, a, b, region);
  }
  opening.close();
  return region;
}

void shift_to_file(Region& region, const Source& source) noexcept {
  if (source.first_line == 1 && source.first_column == 0) return;
  // Sources are checked when reports are drawn; exported ones saturate.
  const auto add = [](std::int64_t& value, std::int64_t amount) {
    value = amount > 0 && value > max_offset - amount ? max_offset
                                                      : value + std::max<std::int64_t>(amount, 0);
  };
  if (region.start_line == 1) add(region.start_col, source.first_column);
  if (region.end_line == 1) add(region.end_col, source.first_column);
  add(region.start_line, source.first_line - 1);
  add(region.end_line, source.first_line - 1);
  region.file_offsets = false;
}

}  // namespace vantel::detail
