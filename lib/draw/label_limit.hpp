// SPDX-License-Identifier: MIT
// The bound on the labels drawn on one line, and the row that says how many
// were left out.
#pragma once

#include "draw/gutter.hpp"
#include "draw/report_part.hpp"
#include "draw/row_writer.hpp"

#include <vantel/layout.hpp>

#include <cstdint>
#include <vector>

namespace vantel::detail {

// Keeps the first `most` labels that lie on the line, by column, and every
// end of a label over several lines, which the lanes need; how many were
// left out. No limit when `most` is 0.
std::int64_t keep_first_labels(std::vector<Report_part*>& sorted, std::int64_t most);

// "… N more labels on this line", under the line's rows.
void more_labels_row(Row_writer& row, const Gutter& gutter, std::int64_t count, Charset charset);

}  // namespace vantel::detail
