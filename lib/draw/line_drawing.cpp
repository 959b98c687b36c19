// SPDX-License-Identifier: MIT
#include "draw/line_drawing.hpp"

#include "draw/underline_runs.hpp"
#include "support/stable_sort.hpp"

#include <vantel/styles.hpp>

#include <algorithm>

namespace vantel::detail {

Line_drawing::Line_drawing(Row_writer& row, Gutter& gutter, std::string_view number,
                           std::string_view text, const Layout_plan& layout, Line_lists& lists)
    : row_(row),
      gutter_(gutter),
      number_(number),
      text_(text),
      layout_(layout),
      marker_(cut_marker(layout.charset)),
      walk_(text, layout.tab_width),
      singles_(lists.singles),
      ends_(lists.ends),
      lifted_(lists.lifted),
      lists_(lists),
      hanging_(lists.hanging),
      connectors_(lists.connectors) {
  have_ = walk_.next(cluster_);
}

// The window of columns [from, to) and the parts that begin in it, sorted
// by column. `text_width` is the width of the line's text.
void Line_drawing::window(std::int64_t from, std::int64_t to, std::int64_t text_width,
                          const std::vector<Report_part*>& parts) {
  if (row_.failed()) return;  // nothing more would be written
  from_ = from;
  to_ = to;
  left_ = from > 0 ? marker_.width : 0;
  text_row(to < text_width);
  // Working lists are kept from one window to the next: a long line has
  // thousands of windows.
  std::vector<Report_part*>& singles = singles_;
  std::vector<Report_part*>& ends = ends_;
  singles.clear();
  ends.clear();
  for (Report_part* p : parts) (p->kind == Report_part::Kind::Single ? singles : ends).push_back(p);
  lift_overlapping(singles, lifted_, to);
  const Report_part* inline_part = underline_row(singles);
  lifted_rows();
  singles.insert(singles.end(), lifted_.begin(), lifted_.end());
  hanging_rows(singles, inline_part);
  // Closing before opening, so that a lane freed on this line reads as
  // freed before another label takes it; inner lanes close first and open
  // last, so that no line from an outer lane crosses an open one.
  stable_sort_range(ends.begin(), ends.end(), [](const Report_part* a, const Report_part* b) {
    const bool a_closes = a->kind == Report_part::Kind::Closes;
    const bool b_closes = b->kind == Report_part::Kind::Closes;
    if (a_closes != b_closes) return a_closes;
    return a_closes ? a->lane > b->lane : a->lane < b->lane;
  });
  for (const Report_part* p : ends) connector_row(*p);
}

// A quote's dotted row: the window's text, each cluster outside `marks`
// shown as a dot per column; the number column is the caller's.
void Line_drawing::dotted(const Quote_window& window, const std::vector<Report_part>& marks) {
  dotted_ = true;
  marks_ = &marks;
  from_ = window.from;
  to_ = window.to;
  left_ = window.cut_left ? marker_.width : 0;
  if (window.cut_left) row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  window_text();
  if (window.cut_right) {
    row_.to_column(at(to_));
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }
}

// A quote's window: its text, then the carets of its parts.
void Line_drawing::quote(const Quote_window& window, const std::vector<Report_part*>& parts) {
  quote_ = true;
  from_ = window.from;
  to_ = window.to;
  left_ = window.cut_left ? marker_.width : 0;
  text_row(window.cut_right);
  if (row_.failed()) return;
  // The number column stays, blank, carets or not.
  row_.repeat(gutter_.origin(), ' ', nullptr);
  if (window.cut_left && window.carets_before)
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  fill_underline_runs(parts, to_, lists_);
  for (const Underline_run& run : lists_.runs) {
    row_.to_column(at(run.from));
    row_.repeat(run.to - run.from, run.part->marker, run.part->tag);
  }
  if (window.carets_after) {
    row_.to_column(at(to_));
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }
  row_.end_row();
}

void Line_drawing::text_row(bool cut_right) {
  if (quote_) {
    put_line_number(row_, number_, gutter_.width, nullptr);
    row_.put(" ", 1, nullptr);  // written even before an empty line
  } else {
    gutter_.start(row_, number_);
  }
  if (left_ > 0) {
    row_.to_column(gutter_.origin());
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }
  window_text();
  if (cut_right) {
    row_.to_column(at(to_));
    row_.put(marker_.text, marker_.width, &Cut_marker_tag);
  }
  row_.end_row();
}

// The clusters wholly inside the window, text ones written in runs. One
// that straddles an edge is left out, its columns blank.
void Line_drawing::window_text() {
  std::size_t run_begin = 0;
  std::size_t run_end = 0;
  std::int64_t run_column = 0;
  std::int64_t run_width = 0;
  const auto flush_run = [&] {
    if (run_end == run_begin) return;
    row_.to_column(at(run_column));
    row_.put(text_.substr(run_begin, run_end - run_begin), run_width, nullptr);
    run_begin = run_end;
    run_width = 0;
  };
  while (have_ && cluster_.column < from_) {
    skip_plain_to(from_);  // plain bytes before the window are only counted
    have_ = walk_.next(cluster_);
  }
  for (; have_ && cluster_.column + cluster_.width <= to_; have_ = walk_.next(cluster_)) {
    const bool dots = dotted_ && !marked();
    if (dots || cluster_.kind != Cluster_kind::Text) {
      flush_run();
      run_begin = run_end = cluster_.end;
      if (dots)
        put_dots();
      else
        put_cluster();
      continue;
    }
    if (run_end != cluster_.begin || run_end == run_begin) {
      flush_run();
      run_begin = cluster_.begin;
      run_column = cluster_.column;
    }
    // The plain bytes that follow join the run at a column each.
    const std::size_t plain = skip_plain_to(dotted_ ? edge_column() : to_);
    run_end = cluster_.end + plain;
    run_width += cluster_.width + static_cast<std::int64_t>(plain);
  }
  flush_run();
}

// Whether the cluster lies under a mark, asked in ascending order; sets
// `edge_` to the byte where that changes.
bool Line_drawing::marked() {
  const std::vector<Report_part>& marks = *marks_;
  while (next_mark_ < marks.size() && marks[next_mark_].end <= cluster_.begin) ++next_mark_;
  if (next_mark_ == marks.size()) {
    edge_ = text_.size();
    return false;
  }
  const bool inside = marks[next_mark_].begin < cluster_.end;
  edge_ = inside ? marks[next_mark_].end : marks[next_mark_].begin;
  return inside;
}

// The column up to which plain bytes keep the last cluster's marking.
std::int64_t Line_drawing::edge_column() const noexcept {
  if (edge_ <= walk_.position()) return walk_.column();
  return std::min(to_, walk_.column() + static_cast<std::int64_t>(edge_ - walk_.position()));
}

// The cluster, in its shown form.
void Line_drawing::put_cluster() {
  row_.to_column(at(cluster_.column));
  row_.put(cluster_.shown(text_), cluster_.width,
           cluster_.kind == Cluster_kind::Escaped ? &Escaped_form_tag : nullptr);
}

// The cluster, and the plain bytes after it up to the next mark, as dots.
void Line_drawing::put_dots() {
  row_.to_column(at(cluster_.column));
  const std::size_t plain = skip_plain_to(edge_column());
  row_.repeat(cluster_.width + static_cast<std::int64_t>(plain), '.', nullptr);
}

// Steps the walk over the plain bytes before `column`; how many.
std::size_t Line_drawing::skip_plain_to(std::int64_t column) noexcept {
  if (walk_.column() >= column) return 0;
  return walk_.skip_plain(walk_.position() + static_cast<std::size_t>(column - walk_.column()));
}

}  // namespace vantel::detail
