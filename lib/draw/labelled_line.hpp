// SPDX-License-Identifier: MIT
// Drawing one source line of a report with the labels on it.
#pragma once

#include "draw/gutter.hpp"
#include "draw/layout_plan.hpp"
#include "draw/report_part.hpp"
#include "draw/row_writer.hpp"

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Draws the line `text` under the line number `number`, then its parts:
// underlines, messages, and the connectors of labels over several lines,
// which open and close their lanes in `gutter`. With a width, a wider line is
// drawn as windows around its parts.
void draw_labelled_line(Row_writer& row, Gutter& gutter, std::string_view number,
                        std::string_view text, std::vector<Report_part>& parts,
                        const Layout_plan& layout);

// A quote's one window on its line, in columns from the start of the text
// drawn: the clusters wholly inside [from, to), and past the text a column
// per offset.
struct Quote_window {
  std::int64_t from = 0;
  std::int64_t to = 0;
  bool cut_left = false;       // the line has columns before the window
  bool cut_right = false;      // and text after it
  bool carets_before = false;  // highlighted cells lie before the window
  bool carets_after = false;   // or after it
};

// Draws a quote's line: `number` (untagged) and the text in `window`, then a
// row of carets under `parts`, which lie in the window, sorted; parts that
// share a cluster make one run. No messages, and no bar under the number.
void draw_quoted_line(Row_writer& row, std::string_view number, std::int64_t number_width,
                      std::string_view text, std::vector<Report_part>& parts,
                      const Quote_window& window, const Layout_plan& layout);

// Draws a row of a quote over several lines: the text in `window`, each
// cluster that no part's bytes touch as a dot per column; `parts` sorted,
// their columns not needed. The line number is the caller's.
void draw_dotted_line(Row_writer& row, std::string_view text, const std::vector<Report_part>& parts,
                      const Quote_window& window, const Layout_plan& layout);

}  // namespace vantel::detail
