// SPDX-License-Identifier: MIT
// Lines and columns counted in UTF-16 code units, code points or display
// cells, resolved by reading the one line they name.
#pragma once

#include "input/raw_cursor.hpp"
#include "position/position_node.hpp"
#include "position/resolved_position.hpp"

#include <vantel/column_unit.hpp>
#include <vantel/position.hpp>

namespace vantel::detail {

// A Unit_line_col position: its own line, that line's start and the offset
// that its column stands for. Reads the line unless the column is at most 1.
[[nodiscard]] Resolved_position resolve_unit_line_col(Raw_cursor& cursor,
                                                      const Position_fields& position);

// The line that `position` resolves to and its column in `unit`. Reads that
// line unless the unit is bytes.
[[nodiscard]] Line_col to_line_col_raw(Raw_cursor& cursor, const Position& position,
                                       Column_unit unit, int tab_width);

}  // namespace vantel::detail
