// SPDX-License-Identifier: MIT
// Drawing the labels of one source: its " --> " row, then its shown lines
// with their labels, "..." where lines are left out.
#pragma once

#include "draw/gutter.hpp"
#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"
#include "model/resolved_report.hpp"

#include <vantel/formatter.hpp>

namespace vantel::detail {

// `primary_tag` encloses the primary underlines: it carries the report's
// severity, for styles that follow it.
void print_section(Row_writer& row, Gutter& gutter, const Section& section,
                   const Layout_plan& layout, const Stag& primary_tag);

}  // namespace vantel::detail
