// SPDX-License-Identifier: MIT
#include "draw/labelled_line.hpp"

#include "draw/label_limit.hpp"
#include "draw/line_drawing.hpp"
#include "draw/line_lists.hpp"
#include "draw/window.hpp"
#include "support/stable_sort.hpp"

#include <algorithm>
#include <string>
#include <tuple>

namespace vantel::detail {

namespace {

// Windows of `max_width` columns (or wider, for a part whose first cell is)
// over a line `width` columns wide, each placed for its first part, never
// before the previous one ends, and holding every part that begins in it.
void draw_windows(Line_drawing& drawing, const std::vector<Report_part*>& sorted,
                  std::int64_t width, std::int64_t text_width, std::int64_t max_width) {
  std::int64_t previous_end = 0;
  std::vector<Report_part*> in_window;
  for (std::size_t i = 0; i < sorted.size();) {
    Window_need need;
    need.row_width = width;
    need.width = max_width;
    need.floor = previous_end;
    need.fill = false;
    need.first = sorted[i]->column;
    need.first_end = sorted[i]->first_cell_end;
    need.last_end = sorted[i]->column_end;
    const std::optional<Window> placed = place_window(need);
    const auto from = static_cast<std::int64_t>(placed ? placed->from : 0);
    const auto to = static_cast<std::int64_t>(placed ? placed->to : width);
    in_window.clear();
    while (i < sorted.size() && sorted[i]->column < to) in_window.push_back(sorted[i++]);
    drawing.window(from, to, text_width, in_window);
    previous_end = to;
  }
}

}  // namespace

void draw_labelled_line(Row_writer& row, Gutter& gutter, std::string_view number,
                        std::string_view text, std::vector<Report_part>& parts,
                        const Layout_plan& layout) {
  const Lists_lease lease;
  const std::int64_t text_width = place_parts(text, layout.tab_width, parts, lease.lists().queries);
  std::vector<Report_part*>& sorted = lease.lists().sorted;
  sorted.clear();
  std::int64_t width = text_width;
  for (Report_part& p : parts) {
    sorted.push_back(&p);
    width = std::max(width, p.column_end);
  }
  stable_sort_range(sorted.begin(), sorted.end(), [](const Report_part* a, const Report_part* b) {
    return std::make_tuple(a->column, a->column_end, a->order) <
           std::make_tuple(b->column, b->column_end, b->order);
  });
  const std::int64_t left_out = keep_first_labels(sorted, layout.max_labels);
  if (left_out > 0) {
    width = text_width;
    for (const Report_part* p : sorted) width = std::max(width, p->column_end);
  }

  Line_drawing drawing(row, gutter, number, text, layout, lease.lists());
  const auto max_width =
      static_cast<std::int64_t>(std::min<Wide>(layout.window_width(gutter.origin()), max_offset));
  drawing.set_window_width(max_width);
  if (max_width <= 0 || width <= max_width) {
    drawing.window(0, width, text_width, sorted);
  } else if (sorted.empty()) {
    // A line shown only because it lies between two others: its start.
    drawing.window(0, max_width, text_width, sorted);
  } else {
    draw_windows(drawing, sorted, width, text_width, max_width);
  }
  if (left_out > 0) more_labels_row(row, gutter, left_out, layout.charset);
}

namespace {

// The columns of a quote's parts, sorted, as runs: parts that share a
// cluster make one.
std::vector<Report_part*>& quote_runs(std::string_view text, std::vector<Report_part>& parts,
                                      const Layout_plan& layout, Line_lists& lists) {
  place_parts(text, layout.tab_width, parts, lists.queries, true);
  std::vector<Report_part*>& runs = lists.sorted;
  runs.clear();
  for (Report_part& p : parts) {
    if (!runs.empty() && runs.back()->column_end > p.column)
      runs.back()->column_end = std::max(runs.back()->column_end, p.column_end);
    else
      runs.push_back(&p);
  }
  return runs;
}

}  // namespace

void draw_quoted_line(Row_writer& row, std::string_view number, std::int64_t number_width,
                      std::string_view text, std::vector<Report_part>& parts,
                      const Quote_window& window, const Layout_plan& layout) {
  const Lists_lease lease;
  const std::vector<Report_part*>& runs = quote_runs(text, parts, layout, lease.lists());
  Gutter gutter;
  gutter.width = number_width;
  Line_drawing drawing(row, gutter, number, text, layout, lease.lists());
  drawing.quote(window, runs);
}

void draw_dotted_line(Row_writer& row, std::string_view text, const std::vector<Report_part>& parts,
                      const Quote_window& window, const Layout_plan& layout) {
  // Whole clusters are dotted or not: no part needs its columns.
  const Lists_lease lease;
  Gutter gutter;
  Line_drawing drawing(row, gutter, {}, text, layout, lease.lists());
  drawing.dotted(window, parts);
}

}  // namespace vantel::detail
