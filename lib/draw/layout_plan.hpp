// SPDX-License-Identifier: MIT
// What the drawing needs of a caller's layout options, checked once.
#pragma once

#include "support/wide_integer.hpp"

#include <vantel/layout.hpp>

#include <cstdint>
#include <string_view>

namespace vantel::detail {

// A report's texts are not wrapped on rows narrower than this: after a
// line-number column and a "= note: " there would be room for less than a
// common word, and rows of one word each read worse than whole rows that the
// terminal folds itself.
constexpr std::int64_t min_wrap_width = 20;

struct Layout_plan {
  bool text = false;  // the text layout rather than bytes
  int tab_width = default_tab_width;
  bool show_points = false;
  Charset charset = Charset::Unicode;
  // The whole row's width; 0 for none.
  std::int64_t row_width = 0;
  // Reports: the labels drawn on one line; 0 for no limit.
  std::int64_t max_labels = default_max_labels_per_line;
  // What only reports read, checked.
  Report_layout report;

  // The columns that a window of text holds on a row whose text starts at
  // column `origin`; 0 when rows are not cut. Room is kept for a cut marker
  // on either side; the window holds at least one column.
  [[nodiscard]] Wide window_width(std::int64_t origin) const noexcept;
};

// Checks `layout` (std::invalid_argument naming `who`) and plans it.
[[nodiscard]] Layout_plan plan_layout(const Layout& layout, std::string_view who);

}  // namespace vantel::detail
