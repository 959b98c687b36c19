// SPDX-License-Identifier: MIT
#include "position/unit_line_col.hpp"

#include "position/line_text.hpp"
#include "position/resolve.hpp"

#include "input/opening.hpp"
#include "support/capture.hpp"
#include "support/checked.hpp"
#include "text/cluster_walk.hpp"
#include "text/column_units.hpp"
#include "text/layout_limits.hpp"

#include <stdexcept>
#include <string>
#include <string_view>

namespace vantel::detail {

Resolved_position resolve_unit_line_col(Raw_cursor& cursor, const Position_fields& position) {
  const std::int64_t start = cursor.find_line_offset(position.line);
  if (position.col <= 1) return {position.line, start, start};
  const std::size_t byte =
      byte_of_column_at(cursor, start, position.col, position.unit, position.tab_width);
  return {position.line, start,
          checked_add(start, static_cast<std::int64_t>(byte), "column offset")};
}

Line_col to_line_col_raw(Raw_cursor& cursor, const Position& position, Column_unit unit,
                         int tab_width) {
  const std::int64_t offset = to_offset_raw(cursor, position);
  const auto [line, col] = cursor.line_col_of_offset(offset);
  if (unit == Column_unit::Bytes) return {line, checked_add(col, 1, "column")};
  if (col < 0) return {line, 1};
  return {line, column_of_byte_at(cursor, checked_sub(offset, col, "line start"),
                                  static_cast<std::size_t>(col), unit, tab_width)};
}

}  // namespace vantel::detail

namespace vantel {

Line_col Position::to_line_col(const Input& input, const Position& position, Column_unit unit,
                               int tab_width) {
  detail::check_tab_width(tab_width, "vantel::Position::to_line_col");
  auto opened = detail::open_raw(input);
  const Line_col result = detail::naming_input(opened.cursor(), [&] {
    return detail::to_line_col_raw(opened.cursor(), position, unit, tab_width);
  });
  opened.close();
  return result;
}

Line_col Position::to_line_col(const Input& input, const Position& position, Column_unit unit,
                               Error& error) noexcept {
  return to_line_col(input, position, unit, default_tab_width, error);
}

Line_col Position::to_line_col(const Input& input, const Position& position, Column_unit unit,
                               int tab_width, Error& error) noexcept {
  Line_col result;
  detail::capture(error, [&] { result = to_line_col(input, position, unit, tab_width); });
  return error ? Line_col{} : result;
}

}  // namespace vantel
