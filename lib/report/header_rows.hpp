// SPDX-License-Identifier: MIT
// The rows of a report that are not source lines: its header, the
// " --> name:line:col" row, and "= kind: text" rows.
#pragma once

#include "draw/gutter.hpp"
#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"

#include <vantel/report.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// "severity[code]: message", the message wrapped to the row's width.
void print_header(Row_writer& row, const Report& report, const Layout_plan& layout);

// " --> name:line:col", never broken, so that terminals and editors still
// find it; "name:line:col" links to the file of a file input.
void print_place(Row_writer& row, const Gutter& gutter, const Source& source, std::int64_t line,
                 std::int64_t column);

// "= kind: text" (`indent` columns further right), the text's further lines
// under its first; the kind in a severity tag for `severity`.
void print_equals(Row_writer& row, const Gutter& gutter, std::int64_t indent, std::string_view kind,
                  const std::string& severity, std::string_view text, const Layout_plan& layout);

}  // namespace vantel::detail
