// SPDX-License-Identifier: MIT
#include "model/place.hpp"

#include "position/line_text.hpp"

namespace vantel::detail {

const Placed_label& place_of(const Section& section) {
  return *place_among(section.labels.begin(), section.labels.end(),
                      [](const Placed_label& p) -> const Label& { return *p.label; });
}

std::int64_t place_column(Raw_cursor& cursor, Line_reader& reader, Read_line& line,
                          std::int64_t start, std::int64_t offset, Column_unit unit, int tab_width,
                          int origin) {
  // Only one past the end of the input needs the line's length: an offset
  // on a byte of its line, or on its line feed, has that byte's column.
  std::int64_t column = 0;
  if (reader.read(offset, line, 1) && (!line.text.empty() || line.ended)) {
    column = offset - start + 1;  // a byte at `offset`: below the largest offset
  } else {
    reader.read(start, line);
    const auto size =
        static_cast<std::int64_t>(without_final_return(line).size()) + (line.ended ? 1 : 0);
    column = std::min(offset - start, size) + 1;
  }
  if (unit != Column_unit::Bytes) {
    column =
        column_of_byte_at(cursor, start, static_cast<std::size_t>(column - 1), unit, tab_width);
    reader.seek(start);
  }
  return column - (1 - origin);
}

}  // namespace vantel::detail
