// SPDX-License-Identifier: MIT
// Which part each stretch of a labelled line's underline row shows.
#pragma once

#include "draw/line_lists.hpp"
#include "draw/report_part.hpp"

#include <cstdint>
#include <vector>

namespace vantel::detail {

// Fills `lists.runs` with the underline of the parts in `singles`, cut at
// column `to`: shorter parts over longer ones, and primary over secondary.
// A run per change of part, so that a part millions of columns wide costs
// one run, not a cell per column. Uses the other working lists of `lists`.
// Moves out of `singles` (sorted by column) into `lifted`, in order, each
// part that overlaps one kept before it with the same marker, its columns
// cut at `to`: one underline of one marker could not show where either
// ends, so each lifted part is drawn on a row of its own.
void lift_overlapping(std::vector<Report_part*>& singles, std::vector<Report_part*>& lifted,
                      std::int64_t to);

void fill_underline_runs(const std::vector<Report_part*>& singles, std::int64_t to,
                         Line_lists& lists);

}  // namespace vantel::detail
