// SPDX-License-Identifier: MIT
// Drawing what a suggested fix changes: one line as it reads after the fix,
// with what the fix wrote marked, or the changed lines as a short diff.
#pragma once

#include "draw/gutter.hpp"
#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"
#include "model/resolved_report.hpp"

#include <vantel/fix.hpp>

#include <cstdint>
#include <vector>

namespace vantel::detail {

// The rows of the changed lines of `place`, under the line-number column of
// `gutter`: a line that stays one line, the fix only writing into it, as it
// reads after the fix, '+' under inserted and '~' under replacing cells; any
// other change as its removed lines ('-', numbered in the old text), then its
// added ones ('+', numbered in the new text). Between two changes, a line
// left as it was is shown ('|'), more are elided.
void draw_fix_lines(Row_writer& row, Gutter& gutter, const Fix_place& place,
                    const Layout_plan& layout);

}  // namespace vantel::detail
