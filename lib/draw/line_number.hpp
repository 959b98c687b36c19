// SPDX-License-Identifier: MIT
// The line-number column that starts every row of quotes and reports:
// the number right-aligned, then the margin's bar.
#pragma once

#include "draw/row_writer.hpp"

#include <vantel/formatter.hpp>

#include <cstdint>
#include <string_view>

namespace vantel::detail {

// The columns that the line-number column takes before a line's text:
// the number, " | ".
[[nodiscard]] constexpr std::int64_t line_number_columns(std::int64_t number_width) noexcept {
  return number_width + 3;
}

// `number` right-aligned in `width` columns, then " |" (or another bar of
// one column), the number and the bar in `tag` when there is one. The space
// after the bar is the caller's.
inline void put_line_number(Row_writer& row, std::string_view number, std::int64_t width,
                            const Stag* tag, std::string_view bar = "|") {
  if (!number.empty()) {
    row.to_column(width - static_cast<std::int64_t>(number.size()));
    row.put(number, static_cast<std::int64_t>(number.size()), tag);
  }
  row.to_column(width + 1);
  row.put(bar, 1, tag);
}

// The same straight on a formatter, for quotes: "number | " with the number
// right-aligned and untagged, or another bar than '|'.
inline void print_line_number(Formatter& f, std::string_view number, std::int64_t width,
                              std::string_view bar = "|") {
  f.print_right_aligned(width, number);
  f.print_char(' ');
  f.print_string(bar);
  f.print_char(' ');
}

}  // namespace vantel::detail
