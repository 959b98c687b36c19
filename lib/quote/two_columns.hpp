// SPDX-License-Identifier: MIT
// The two-column printer: labels on the left, texts on the right.
#pragma once

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel::detail {

// Rows of (left, right) texts: left right-aligned to the widest left text
// (hidden rows count), then " sep ", then right. With `max_lines`, more rows
// than that are cut to a head, a "..." row and a tail.
using Row = std::pair<std::string, std::string>;
void pp_two_columns(Formatter& formatter, const std::vector<Row>& rows,
                    std::optional<int> max_lines = std::nullopt, std::string_view sep = "|");

// The rows that give way to one "..." row, both ends inclusive; none (-1)
// when every row is shown.
struct Elided {
  std::int64_t first = -1;
  std::int64_t last = -1;
};
[[nodiscard]] Elided elided_rows(std::int64_t count, std::optional<int> max_lines);

// The same layout for `count` rows of which only those shown are asked of
// `row_at`, in order; `width` is that of the widest left text of all of
// them. Stops as soon as the formatter's stream has failed.
void pp_two_columns(Formatter& formatter, std::int64_t count, std::size_t width,
                    const std::function<Row(std::int64_t)>& row_at, std::optional<int> max_lines,
                    std::string_view sep = "|");

// The same with the right column written by `print_right` rather than
// given as a text, so that it can carry tags.
void pp_two_columns(Formatter& formatter, std::int64_t count, std::size_t width,
                    const std::function<std::string(std::int64_t)>& left_at,
                    const std::function<void(std::int64_t)>& print_right,
                    std::optional<int> max_lines, std::string_view sep = "|");

}  // namespace vantel::detail
