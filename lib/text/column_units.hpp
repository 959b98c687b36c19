// SPDX-License-Identifier: MIT
// Columns of one line counted in bytes, UTF-16 code units, code points or
// terminal cells, and the bytes they stand for.
#pragma once

#include <vantel/column_unit.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantel::detail {

// `line` holds neither its line feed nor the carriage return before it.
// Columns are 1-based; a byte that is not UTF-8 counts one of every unit. In
// display columns a line is cut into clusters as a quote cuts it, and what a
// quote shows escaped counts one cell. `tab_width` is 1 to max_tab_width.
//
// Both walk the line once from its start, as far as they need; neither
// allocates.

// The first byte of the character or cluster that holds column `col`; the
// line's size for a column past its end, 0 for one below 1.
[[nodiscard]] std::size_t byte_of_column(std::string_view line, std::int64_t col, Column_unit unit,
                                         int tab_width) noexcept;

// The column of the character or cluster that holds byte `at`; for `at` at or
// past the line's size, the column after its last character.
[[nodiscard]] std::int64_t column_of_byte(std::string_view line, std::size_t at, Column_unit unit,
                                          int tab_width) noexcept;

}  // namespace vantel::detail
