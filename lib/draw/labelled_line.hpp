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

}  // namespace vantel::detail
