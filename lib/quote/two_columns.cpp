// SPDX-License-Identifier: MIT
#include "quote/two_columns.hpp"

#include "draw/line_number.hpp"

#include <algorithm>
#include <ostream>
#include <utility>

namespace vantel::detail {

// A head of ceil((m-1)/2) rows and a tail of floor((m-1)/2) stay, m rows in
// all. With m <= 0 every row is hidden and first < 0 prints no "..." either.
Elided elided_rows(std::int64_t count, std::optional<int> max_lines) {
  if (!max_lines || count <= *max_lines) return {};
  const std::int64_t k = std::int64_t{*max_lines} - 1;
  const std::int64_t head = k / 2 + k % 2;
  const std::int64_t tail = k / 2;
  return {head, count - tail - 1};
}

void pp_two_columns(Formatter& formatter, const std::vector<Row>& rows,
                    std::optional<int> max_lines, std::string_view sep) {
  // Hidden rows count for the width too, so eliding never shifts a column.
  std::size_t width = 0;
  for (const Row& row : rows) width = std::max(width, row.first.size());
  pp_two_columns(
      formatter, static_cast<std::int64_t>(rows.size()), width,
      [&rows](std::int64_t i) { return rows[static_cast<std::size_t>(i)]; }, max_lines, sep);
}

void pp_two_columns(Formatter& formatter, std::int64_t count, std::size_t width,
                    const std::function<Row(std::int64_t)>& row_at, std::optional<int> max_lines,
                    std::string_view sep) {
  // Each row is made once: its left text is asked first, its right one next.
  Row row;
  pp_two_columns(
      formatter, count, width,
      [&row, &row_at](std::int64_t i) {
        row = row_at(i);
        return std::move(row.first);
      },
      [&formatter, &row](std::int64_t) { formatter.print_string(row.second); }, max_lines, sep);
}

void pp_two_columns(Formatter& formatter, std::int64_t count, std::size_t width,
                    const std::function<std::string(std::int64_t)>& left_at,
                    const std::function<void(std::int64_t)>& print_right,
                    std::optional<int> max_lines, std::string_view sep) {
  const Elided elided = elided_rows(count, max_lines);
  formatter.open_vbox();
  for (std::int64_t i = 0; i < count && !formatter.stream().bad(); ++i) {
    if (i == elided.first) {
      formatter.print_string("...");
      formatter.cut();
    }
    if (elided.first <= i && i <= elided.last) {
      i = elided.last;  // the hidden rows are never asked for
      continue;
    }
    print_line_number(formatter, left_at(i), static_cast<std::int64_t>(width), sep);
    print_right(i);
    formatter.cut();
  }
  formatter.close_box();
}

}  // namespace vantel::detail
