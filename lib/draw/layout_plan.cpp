// SPDX-License-Identifier: MIT
#include "draw/layout_plan.hpp"

#include "draw/cut_marker.hpp"
#include "text/layout_limits.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vantel::detail {

Wide Layout_plan::window_width(std::int64_t origin) const noexcept {
  if (row_width <= 0) return 0;
  const Wide room = Wide{row_width} - origin - 2 * Wide{cut_marker(charset).width};
  return std::max<Wide>(room, 1);
}

Layout_plan plan_layout(const Layout& layout, std::string_view who) {
  check_tab_width(layout.tab_width, who);
  check_max_width(layout.width, who, "width");
  check_max_width(layout.report.max_labels_per_line, who, "max labels per line");
  if (layout.report.location_origin != 0 && layout.report.location_origin != 1)
    throw std::invalid_argument(std::string(who) + ": location origin " +
                                std::to_string(layout.report.location_origin) +
                                " is neither 0 nor 1");
  check_max_width(layout.report.context_lines, who, "context lines");
  // -1 stands for context_lines.
  if (layout.report.context_before != -1)
    check_max_width(layout.report.context_before, who, "context lines before");
  if (layout.report.context_after != -1)
    check_max_width(layout.report.context_after, who, "context lines after");
  check_max_width(layout.report.max_body_lines, who, "max body lines");
  check_max_width(layout.report.max_child_depth, who, "max child depth");
  check_max_width(layout.report.max_children, who, "max children");
  Layout_plan plan;
  plan.text = layout.columns == Layout::Columns::Text;
  plan.tab_width = layout.tab_width;
  plan.show_points = layout.show_points;
  plan.charset = layout.charset;
  plan.row_width = layout.width;
  plan.max_labels = layout.report.max_labels_per_line;
  plan.report = layout.report;
  return plan;
}

}  // namespace vantel::detail
