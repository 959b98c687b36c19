// SPDX-License-Identifier: MIT
// The text layout of a quote: the single-line and multi-line quotes drawn in
// display columns rather than bytes.
#pragma once

#include "draw/layout_plan.hpp"
#include "quote/quote.hpp"
#include "quote/quoted_lines.hpp"
#include "quote/source_line.hpp"

#include <vantel/formatter.hpp>

#include <string>

namespace vantel::detail {

// The line, then carets under its highlighted clusters and under the
// highlighted offsets past its text, one column each.
void text_single_line_quote(Formatter& f, const Bound_set& set, const source_line& line,
                            const std::string& label, const Layout_plan& layout);

// Every line labelled, each cluster that is not highlighted shown as one '.'
// per column.
void text_multi_line_quote(Formatter& f, const Bound_set& set, const Quoted_lines& lines,
                           int max_lines, const Layout_plan& layout);

}  // namespace vantel::detail
