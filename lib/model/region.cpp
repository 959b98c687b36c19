// SPDX-License-Identifier: MIT
#include "model/region.hpp"

#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "model/label_span.hpp"
#include "support/checked.hpp"
#include "text/column_units.hpp"

#include <algorithm>
#include <string_view>
#include <utility>

namespace vantel::detail {

namespace {

// Units of `text` (a whole line, carriage returns kept) before byte `at`.
std::int64_t units_before(std::string_view text, std::size_t at, Column_unit unit) {
  if (unit == Column_unit::Bytes || at == 0) return static_cast<std::int64_t>(at);
  return column_of_byte(text, at, unit, default_tab_width) - 1;
}

Region_reader::Point point_at(Raw_cursor& cursor, Line_reader& reader, Read_line& line,
                              std::int64_t offset, Column_unit unit) {
  const auto [number, col] = cursor.line_col_of_offset(offset);
  Region_reader::Point p;
  p.line = number;
  p.line_start = checked_sub(offset, col, "line start");
  reader.read(p.line_start, line);
  p.offset = std::min(offset, p.line_start + static_cast<std::int64_t>(line.text.size()));
  const auto at = static_cast<std::size_t>(p.offset - p.line_start);
  if (unit == Column_unit::Bytes) {
    p.col = static_cast<std::int64_t>(at) + 1;
  } else {
    const std::string_view shown = without_final_return(line);
    p.col = column_of_byte(shown, std::min(at, shown.size()), unit, default_tab_width);
  }
  p.units_in_line = units_before(line.text, at, unit);
  return p;
}

// The bytes from `from` to `to`, which start on the line at `line_start`.
std::string text_between(Line_reader& reader, Read_line& line, std::int64_t line_start,
                         std::int64_t from, std::int64_t to) {
  std::string text;
  if (from >= to || !reader.read(line_start, line)) return text;
  std::int64_t start = line_start;
  for (;;) {
    std::string whole = line.text;
    if (line.ended) whole += '\n';
    const std::int64_t end = start + static_cast<std::int64_t>(whole.size());
    const std::int64_t a = std::max(from, start);
    const std::int64_t b = std::min(to, end);
    if (a < b)
      text.append(whole, static_cast<std::size_t>(a - start), static_cast<std::size_t>(b - a));
    if (end >= to || !reader.next(line)) break;
    start = end;
  }
  return text;
}

}  // namespace

Region_reader::Line_units& Region_reader::units_of(const Input& input) {
  for (Line_units& u : units_)
    if (u.input.same_as(input)) return u;
  units_.push_back({input, {0}});
  return units_.back();
}

void Region_reader::count_chars(Raw_cursor& cursor, Line_reader& reader, Read_line& line,
                                const Input& input, const Point& a, const Point& b,
                                Region& region) {
  std::int64_t before_a = a.line_start;
  std::int64_t before_b = b.line_start;
  if (unit_ != Column_unit::Bytes) {
    Line_units& units = units_of(input);
    // Lines are counted once, in order, as far as the furthest region.
    while (static_cast<std::int64_t>(units.before.size()) < b.line) {
      const auto known = static_cast<std::int64_t>(units.before.size());
      reader.read(cursor.find_line_offset(known), line);
      const std::int64_t in_line = units_before(line.text, line.text.size(), unit_);
      units.before.push_back(checked_add(
          units.before.back(), checked_add(in_line, line.ended ? 1 : 0, "units"), "units"));
    }
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
  const std::int64_t start = span->start;
  const std::int64_t end = span->end;
  Line_reader reader(cursor);
  Read_line line;
  const Region_reader::Point a = point_at(cursor, reader, line, start, unit_);
  std::string start_line_text;
  if (with_chars_) start_line_text = without_final_return(line);
  const Region_reader::Point b = point_at(cursor, reader, line, std::max(end, a.offset), unit_);
  Region region;
  region.start_line = a.line;
  region.start_col = a.col;
  region.end_line = b.line;
  region.end_col = b.col;
  if (with_chars_) {
    region.start_line_text = std::move(start_line_text);
    region.text = text_between(reader, line, a.line_start, a.offset, b.offset);
    count_chars(cursor, reader, line, input, a, b, region);
  }
  opening.close();
  return region;
}

}  // namespace vantel::detail
