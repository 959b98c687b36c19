// SPDX-License-Identifier: MIT
// Counting columns over one line read through a cursor, piece by piece.
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/column_unit.hpp>

#include <cstddef>
#include <cstdint>

namespace vantel::detail {

// The line is the one that starts at `start`, up to its line feed or the end
// of the input, without the line feed and without a carriage return right
// before it; a line whose start cannot be sought to is empty. Either walks the
// line only as far as it needs, and holds a piece of it at a time, never the
// whole of a long line.

// byte_of_column over that line: the first byte of column `col` (col > 1).
[[nodiscard]] std::size_t byte_of_column_at(Raw_cursor& cursor, std::int64_t start,
                                            std::int64_t col, Column_unit unit, int tab_width);

// column_of_byte over that line: the column of byte `at`.
[[nodiscard]] std::int64_t column_of_byte_at(Raw_cursor& cursor, std::int64_t start, std::size_t at,
                                             Column_unit unit, int tab_width);

// Byte `at` (at least 0) of that line as exported regions count it: cut to
// the line's end, a carriage return before its line feed counted in; its
// column with that carriage return left out; and the units before it with
// the carriage return counted.
struct Byte_place {
  std::int64_t at = 0;
  std::int64_t col = 1;
  std::int64_t units_before = 0;
};
[[nodiscard]] Byte_place place_of_byte_at(Raw_cursor& cursor, std::int64_t start, std::int64_t at,
                                          Column_unit unit, int tab_width);

}  // namespace vantel::detail
