// SPDX-License-Identifier: MIT
// Building line tables, and the three queries on them.
#pragma once

#include "line_offsets/line_scanner.hpp"

#include <vantel/line_table.hpp>

#include <cstdint>
#include <iosfwd>
#include <string_view>
#include <utility>

namespace vantel::Line_offsets {

// The table of everything `channel` holds, from offset 0 where it can seek
// (else from where it stands), read in blocks of 16384 bytes: memory grows with
// the number of lines, not with the size of the text. Leaves the channel at its
// end. A read error propagates and no table is built.
[[nodiscard]] Line_table from_chan(std::istream& channel);

// The table of `text`: 0, then the offset just past each line feed.
[[nodiscard]] Line_table from_string(std::string_view text, Scan how = Scan::Widest);

// The entries of a table, or the part of one known so far; the queries
// below read nothing else.
struct Starts {
  const std::int64_t* data;
  std::size_t size;
};

// The offset of the first byte of the 1-based `line`. Throws std::out_of_range
// for a line below 1 or after the last.
[[nodiscard]] std::int64_t find_line_offset(const Line_table& table, std::int64_t line);

// The offset of the 1-based `line` and 1-based `col`; the column is not checked
// against the line's length. Throws as find_line_offset, and
// std::overflow_error when the sum does not fit.
[[nodiscard]] std::int64_t find_offset(const Line_table& table, std::int64_t line,
                                       std::int64_t col);

// The 1-based line holding `offset` and the 0-based column in it. Throws
// std::out_of_range on an empty table.
[[nodiscard]] std::pair<std::int64_t, std::int64_t> line_col_of_offset(const Line_table& table,
                                                                       std::int64_t offset);

// Fails as find_line_offset does for `line` in a table of `lines` entries.
[[noreturn]] void no_such_line(std::int64_t line, std::size_t lines);
// The offset of the 1-based `col` of the line that starts at `start`, the
// 1-based `line`; std::overflow_error when it does not fit.
[[nodiscard]] std::int64_t offset_in_line(std::int64_t start, std::int64_t line, std::int64_t col);

[[nodiscard]] std::int64_t find_line_offset(Starts table, std::int64_t line);
[[nodiscard]] std::int64_t find_offset(Starts table, std::int64_t line, std::int64_t col);
[[nodiscard]] std::pair<std::int64_t, std::int64_t> line_col_of_offset(Starts table,
                                                                       std::int64_t offset);

}  // namespace vantel::Line_offsets
