// SPDX-License-Identifier: MIT
// The left side of a report's rows: the line-number column and the margin
// where labels over several lines run.
#pragma once

#include "draw/line_number.hpp"
#include "draw/row_writer.hpp"

#include <vantel/styles.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

struct Gutter {
  std::int64_t width = 1;  // the widest line number, in digits
  // One entry per lane of the margin: the tag of the label running down it,
  // or null while none does.
  std::vector<const Stag*> lanes;
  // The bar after a line number: '|', or the sign of a line of a diff.
  std::string_view number_bar = "|";

  // The column where a line's text starts.
  [[nodiscard]] std::int64_t origin() const noexcept {
    const auto n = static_cast<std::int64_t>(lanes.size());
    return line_number_columns(width) + (n == 0 ? 0 : n + 1);
  }
  [[nodiscard]] std::int64_t lane_column(std::size_t lane) const noexcept {
    return line_number_columns(width) + static_cast<std::int64_t>(lane);
  }

  // `number` right-aligned, then " |". Lanes are left to the caller.
  void start_bare(Row_writer& row, std::string_view number) const {
    put_line_number(row, number, width, &Report_margin_tag, number.empty() ? "|" : number_bar);
  }

  // "...", for lines left out, with the bars of the lanes.
  void elision(Row_writer& row) const {
    row.put("...", 3, &Report_margin_tag);
    for (std::size_t k = 0; k < lanes.size(); ++k) {
      if (lanes[k] == nullptr) continue;
      row.to_column(lane_column(k));
      row.put("|", 1, lanes[k]);
    }
    row.end_row();
  }

  // start_bare, then a bar on every lane below `upto` that a label runs down.
  void start(Row_writer& row, std::string_view number, std::size_t upto = SIZE_MAX) const {
    start_bare(row, number);
    for (std::size_t k = 0; k < lanes.size() && k < upto; ++k) {
      if (lanes[k] == nullptr) continue;
      row.to_column(lane_column(k));
      row.put("|", 1, lanes[k]);
    }
  }
};

}  // namespace vantel::detail
