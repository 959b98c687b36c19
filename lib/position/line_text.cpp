// SPDX-License-Identifier: MIT
#include "position/line_text.hpp"

#include "input/line_reader.hpp"
#include "text/column_units.hpp"

#include <algorithm>
#include <string>

namespace vantel::detail {

namespace {

// Large enough that a piece costs more to walk than to ask for.
constexpr std::size_t piece = std::size_t{1} << 16;

// How far count_line walked: whether to the line's end, and then the
// line's size without its line feed and whether a carriage return before it
// was left out.
struct Line_end {
  bool reached = false;
  bool dropped_return = false;
  std::int64_t shown_size = 0;
};

// Hands `counter` the line piece by piece until `ask(last)` answers, from
// place `from` of it, telling `places` (if any) the places passed.
template <class Ask>
Line_end count_line(Raw_cursor& cursor, std::int64_t start, Unit_counter& counter, Ask ask,
                    Column_place from = {}, Counted_columns* places = nullptr) {
  Line_reader reader(cursor);
  Read_line line;
  counter.resume(from.byte, from.before);
  // A line that cannot be sought to is empty.
  (void)reader.read(start + from.byte, line, piece);
  std::string& text = counter.buffer();
  text.swap(line.text);
  auto seen = static_cast<std::int64_t>(text.size());
  for (;;) {
    Line_end end;
    end.reached = !reader.goes_on();
    end.dropped_return = end.reached && line.ended && !text.empty() && text.back() == '\r';
    if (end.dropped_return) text.pop_back();
    end.shown_size = seen - (end.dropped_return ? 1 : 0);
    if (ask(end.reached) || end.reached) return end;
    if (places != nullptr) places->pass({counter.byte(), counter.column() - 1});
    std::string& rest = counter.buffer();
    line.text.swap(rest);
    const std::size_t before = line.text.size();
    reader.read_more(line, piece);
    seen += static_cast<std::int64_t>(line.text.size() - before);
    line.text.swap(rest);
  }
}

// count_line from the farthest place that the cursor knows on the line
// before the answer (`from` picks it among `places`), telling it the places
// passed and where the count stopped; from the line's start for a cursor
// whose reads somebody sees (a caller's), which is read as it always was.
template <class Ask, class From>
void count_on(Raw_cursor& cursor, std::int64_t start, Unit_counter& counter, Column_unit unit,
              int tab_width, Ask ask, From from) {
  if (!cursor.forks()) {
    (void)count_line(cursor, start, counter, ask);
    return;
  }
  Counted_columns& places = cursor.counted_columns();
  places.walk(start, unit, tab_width);
  (void)count_line(cursor, start, counter, ask, from(places), &places);
  places.reach({counter.byte(), counter.column() - 1});
}

}  // namespace

std::size_t byte_of_column_at(Raw_cursor& cursor, std::int64_t start, std::int64_t col,
                              Column_unit unit, int tab_width) {
  Unit_counter counter(unit, tab_width);
  count_on(
      cursor, start, counter, unit, tab_width,
      [&](bool last) { return counter.to_column(col, last); },
      [col](const Counted_columns& places) { return places.before_column(col); });
  return static_cast<std::size_t>(counter.byte());
}

std::int64_t column_of_byte_at(Raw_cursor& cursor, std::int64_t start, std::size_t at,
                               Column_unit unit, int tab_width) {
  Unit_counter counter(unit, tab_width);
  const auto byte = static_cast<std::int64_t>(at);
  count_on(
      cursor, start, counter, unit, tab_width,
      [&](bool last) { return counter.to_byte(byte, last); },
      [byte](const Counted_columns& places) { return places.before_byte(byte); });
  return counter.column();
}

Byte_place place_of_byte_at(Raw_cursor& cursor, std::int64_t start, std::int64_t at,
                            Column_unit unit, int tab_width) {
  Unit_counter counter(unit, tab_width);
  const Line_end end =
      count_line(cursor, start, counter, [&](bool last) { return counter.to_byte(at, last); });
  Byte_place place{at, counter.column(), counter.column() - 1};
  if (!end.reached || at < end.shown_size) return place;
  const std::int64_t size = end.shown_size + (end.dropped_return ? 1 : 0);
  place.at = std::min(at, size);
  if (end.dropped_return && place.at == size) ++place.units_before;
  return place;
}

}  // namespace vantel::detail
