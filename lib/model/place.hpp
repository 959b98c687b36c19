// SPDX-License-Identifier: MIT
// Where a report stands: the label that a reader is sent to, and its column.
#pragma once

#include "input/line_reader.hpp"
#include "input/raw_cursor.hpp"
#include "model/resolved_report.hpp"

#include <vantel/column_unit.hpp>
#include <vantel/report.hpp>

#include <algorithm>
#include <cstdint>

namespace vantel::detail {

// The place among labels in the report's order: the first primary one, or
// `last` when none is. `label_of` gives an element's Label.
template <class It, class Label_of>
[[nodiscard]] It first_primary(It first, It last, Label_of&& label_of) {
  return std::find_if(first, last, [&label_of](const auto& element) {
    return label_of(element).kind == Label_kind::Primary;
  });
}

// The place among labels: the first primary one, else the first that
// marks anything, else the first; `last` when there are none.
template <class It, class Label_of>
[[nodiscard]] It place_among(It first, It last, Label_of&& label_of) {
  const It primary = first_primary(first, last, label_of);
  if (primary != last) return primary;
  const It marked = std::find_if(first, last, [&label_of](const auto& element) {
    return label_of(element).kind != Label_kind::Context;
  });
  return marked != last ? marked : first;
}

// A section's place: its first primary label, else its first.
[[nodiscard]] const Placed_label& place_of(const Section& section);

// The column of `offset` on the line that starts at `start`, from `origin`,
// in `unit`. An offset past the line's end (its line feed, or the end of the
// input) counts up to it; other units than bytes are counted piece by piece.
// The count moves the cursor under `reader`, which is sought back to `start`.
[[nodiscard]] std::int64_t place_column(Raw_cursor& cursor, Line_reader& reader, Read_line& line,
                                        std::int64_t start, std::int64_t offset, Column_unit unit,
                                        int tab_width, int origin);

}  // namespace vantel::detail
