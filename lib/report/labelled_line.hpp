// SPDX-License-Identifier: MIT
// Drawing one source line of a report with the labels on it.
#pragma once

#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"
#include "report/gutter.hpp"

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

// What a label leaves on one line: the whole label when it lies on the line,
// or where a label over several lines opens or closes.
struct Report_part {
  enum class Kind : unsigned char { Single, Opens, Closes };
  Kind kind = Kind::Single;
  const Stag* tag = nullptr;  // the report's primary tag, or Report_secondary_tag
  bool primary = true;
  char marker = '^';
  // In bytes of the line. single: the first byte and one past the last, the
  // same for a point; opens: the first byte; closes: the last byte. At most
  // the line's size, where the line feed stands; `end` one more when the
  // label takes the line feed.
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view message;
  std::size_t lane = 0;   // opens, closes: the margin lane the label runs down
  std::size_t order = 0;  // the label's place in the report, to break ties

  // Display columns, set by draw_labelled_line: the first one and one past the last.
  std::int64_t column = 0;
  std::int64_t column_end = 0;
  std::int64_t first_cell_end = 0;  // one past the first cluster's last column
};

// Draws the line `text` under the line number `number`, then its parts:
// underlines, messages, and the connectors of labels over several lines,
// which open and close their lanes in `gutter`. With a width, a wider line is
// drawn as windows around its parts.
void draw_labelled_line(Row_writer& row, Gutter& gutter, std::string_view number,
                        std::string_view text, std::vector<Report_part>& parts,
                        const Layout_plan& layout);

}  // namespace vantel::detail
