// The two-column printer: labels on the left, texts on the right.
#pragma once

#include <vantel/formatter.hpp>

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

}  // namespace vantel::detail
