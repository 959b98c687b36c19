// SPDX-License-Identifier: MIT
#include "position/line_text.hpp"

#include "input/line_reader.hpp"
#include "text/column_units.hpp"

#include <string>

namespace vantel::detail {

namespace {

// Large enough that a piece costs more to walk than to ask for.
constexpr std::size_t piece = std::size_t{1} << 16;

// Hands `counter` the line piece by piece until `ask(last)` answers.
template <class Ask>
void count_line(Raw_cursor& cursor, std::int64_t start, Unit_counter& counter, Ask ask) {
  Line_reader reader(cursor);
  Read_line line;
  (void)reader.read(start, line, piece);  // a line that cannot be sought to is empty
  std::string& text = counter.buffer();
  text.swap(line.text);
  for (;;) {
    const bool last = !reader.goes_on();
    if (last && line.ended && !text.empty() && text.back() == '\r') text.pop_back();
    if (ask(last) || last) return;
    std::string& rest = counter.buffer();
    line.text.swap(rest);
    reader.read_more(line, piece);
    line.text.swap(rest);
  }
}

}  // namespace

std::size_t byte_of_column_at(Raw_cursor& cursor, std::int64_t start, std::int64_t col,
                              Column_unit unit, int tab_width) {
  Unit_counter counter(unit, tab_width);
  count_line(cursor, start, counter, [&](bool last) { return counter.to_column(col, last); });
  return static_cast<std::size_t>(counter.byte());
}

std::int64_t column_of_byte_at(Raw_cursor& cursor, std::int64_t start, std::size_t at,
                               Column_unit unit, int tab_width) {
  Unit_counter counter(unit, tab_width);
  count_line(cursor, start, counter,
             [&](bool last) { return counter.to_byte(static_cast<std::int64_t>(at), last); });
  return counter.column();
}

}  // namespace vantel::detail
