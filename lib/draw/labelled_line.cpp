// SPDX-License-Identifier: MIT
#include "draw/labelled_line.hpp"

#include "draw/cut_marker.hpp"
#include "draw/label_limit.hpp"
#include "draw/line_lists.hpp"
#include "draw/shown_text.hpp"
#include "draw/underline_runs.hpp"
#include "draw/window.hpp"
#include "text/cluster_walk.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <string>
#include <tuple>

namespace vantel::detail {

namespace {

// Draws the windows of one line, left to right, walking its clusters once.
class Line_drawing {
 public:
  Line_drawing(Row_writer& row, Gutter& gutter, std::string_view number, std::string_view text,
               const Layout_plan& layout, Line_lists& lists)
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

  // The columns that a window holds; 0 for no limit.
  void set_window_width(std::int64_t width) noexcept { window_width_ = width; }

  // The window of columns [from, to) and the parts that begin in it, sorted
  // by column. `text_width` is the width of the line's text.
  void window(std::int64_t from, std::int64_t to, std::int64_t text_width,
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
    for (Report_part* p : parts)
      (p->kind == Report_part::Kind::Single ? singles : ends).push_back(p);
    lift_overlapping(singles, lifted_, to);
    const Report_part* inline_part = underline_row(singles);
    lifted_rows();
    singles.insert(singles.end(), lifted_.begin(), lifted_.end());
    hanging_rows(singles, inline_part);
    // Closing before opening, so that a lane freed on this line reads as
    // freed before another label takes it; inner lanes close first and open
    // last, so that no line from an outer lane crosses an open one.
    std::stable_sort(ends.begin(), ends.end(), [](const Report_part* a, const Report_part* b) {
      const bool a_closes = a->kind == Report_part::Kind::Closes;
      const bool b_closes = b->kind == Report_part::Kind::Closes;
      if (a_closes != b_closes) return a_closes;
      return a_closes ? a->lane > b->lane : a->lane < b->lane;
    });
    for (const Report_part* p : ends) connector_row(*p);
  }

  // A quote's dotted row: the window's text, each cluster outside `marks`
  // shown as a dot per column; the number column is the caller's.
  void dotted(const Quote_window& window, const std::vector<Report_part>& marks) {
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
  void quote(const Quote_window& window, const std::vector<Report_part*>& parts) {
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

 private:
  // Where column `column` of the line is drawn in the row.
  [[nodiscard]] std::int64_t at(std::int64_t column) const noexcept {
    return (dotted_ ? 0 : gutter_.origin()) + left_ + (column - from_);
  }
  [[nodiscard]] std::int64_t clip(std::int64_t column) const noexcept {
    return std::min(column, to_);
  }

  void text_row(bool cut_right) {
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
  void window_text() {
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
  bool marked() {
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
  [[nodiscard]] std::int64_t edge_column() const noexcept {
    if (edge_ <= walk_.position()) return walk_.column();
    return std::min(to_, walk_.column() + static_cast<std::int64_t>(edge_ - walk_.position()));
  }

  // The cluster, in its shown form.
  void put_cluster() {
    row_.to_column(at(cluster_.column));
    row_.put(cluster_.shown(text_), cluster_.width,
             cluster_.kind == Cluster_kind::Escaped ? &Escaped_form_tag : nullptr);
  }

  // The cluster, and the plain bytes after it up to the next mark, as dots.
  void put_dots() {
    row_.to_column(at(cluster_.column));
    const std::size_t plain = skip_plain_to(edge_column());
    row_.repeat(cluster_.width + static_cast<std::int64_t>(plain), '.', nullptr);
  }

  // Steps the walk over the plain bytes before `column`; how many.
  std::size_t skip_plain_to(std::int64_t column) noexcept {
    if (walk_.column() >= column) return 0;
    return walk_.skip_plain(walk_.position() + static_cast<std::size_t>(column - walk_.column()));
  }

  // The part that reaches furthest right; of those, the one that begins
  // last, then the first listed.
  [[nodiscard]] const Report_part* rightmost(const std::vector<Report_part*>& singles) const {
    const Report_part* last = nullptr;
    for (const Report_part* p : singles) {
      const std::int64_t end = clip(p->column_end);
      if (last == nullptr || end > clip(last->column_end) ||
          (end == clip(last->column_end) &&
           (p->column > last->column || (p->column == last->column && p->order < last->order))))
        last = p;
    }
    return last;
  }

  // The underlines of the parts that lie on the line. The rightmost part
  // gets its message at the end of the row when it fits there; that part is
  // returned.
  const Report_part* underline_row(const std::vector<Report_part*>& singles) {
    if (singles.empty()) return nullptr;
    fill_underline_runs(singles, to_, lists_);
    gutter_.start(row_, {});
    for (const Underline_run& run : lists_.runs) {
      row_.to_column(at(run.from));
      row_.repeat(run.to - run.from, run.part->marker, run.part->tag);
    }
    const Report_part* last = rightmost(singles);
    const Report_part* placed = nullptr;
    if (!last->message.empty()) {
      const std::int64_t end =
          clip(last->column_end) - from_ + 1 + widest_line(last->message, layout_.tab_width);
      if (window_width_ <= 0 || end <= window_width_) {
        row_.to_column(at(clip(last->column_end)) + 1);
        // Its further lines keep the connectors of the messages still to come.
        put_wrapped(row_, last->message, &Report_message_tag, layout_.tab_width, 0, [&] {
          gutter_.start(row_, {});
          for (const Report_part* p : singles)
            if (p != last && !p->message.empty() && at(p->column) >= row_.column()) {
              row_.to_column(at(p->column));
              row_.put("|", 1, p->tag);
            }
        });
        placed = last;
      }
    }
    row_.end_row();
    return placed;
  }

  // The underline of each lifted part on a row of its own; their messages
  // hang below with the others.
  void lifted_rows() {
    for (const Report_part* p : lifted_) {
      if (row_.failed()) return;  // nothing more would be written
      gutter_.start(row_, {});
      row_.to_column(at(p->column));
      row_.repeat(clip(p->column_end) - p->column, p->marker, p->tag);
      row_.end_row();
    }
  }

  // The other messages, each on a row of its own, rightmost first, below a
  // row of connectors; every message still to come keeps its connector.
  void hanging_rows(const std::vector<Report_part*>& singles, const Report_part* placed) {
    std::vector<const Report_part*>& hanging = hanging_;
    hanging.clear();
    for (const Report_part* p : singles)
      if (p != placed && !p->message.empty()) hanging.push_back(p);
    if (hanging.empty()) return;
    std::stable_sort(
        hanging.begin(), hanging.end(), [](const Report_part* a, const Report_part* b) {
          return std::make_pair(-a->column, a->order) < std::make_pair(-b->column, b->order);
        });
    // One connector per column, ascending.
    std::vector<const Report_part*>& connectors = connectors_;
    connectors.clear();
    for (auto it = hanging.rbegin(); it != hanging.rend(); ++it)
      if (connectors.empty() || connectors.back()->column != (*it)->column)
        connectors.push_back(*it);

    const auto put_connectors = [&](std::size_t count) {
      for (std::size_t k = 0; k < count; ++k) {
        row_.to_column(at(connectors[k]->column));
        row_.put("|", 1, connectors[k]->tag);
      }
    };
    gutter_.start(row_, {});
    put_connectors(connectors.size());
    row_.end_row();
    for (const Report_part* p : hanging) {
      if (row_.failed()) return;  // nothing more would be written
      hanging_row(*p, put_connectors);
    }
  }

  // The row of one hanging message, under the connectors of every part left
  // of it, which are still to come.
  template <class Put_connectors>
  void hanging_row(const Report_part& p, const Put_connectors& put_connectors) {
    const auto left =
        static_cast<std::size_t>(std::lower_bound(connectors_.begin(), connectors_.end(), p.column,
                                                  [](const Report_part* c, std::int64_t column) {
                                                    return c->column < column;
                                                  }) -
                                 connectors_.begin());
    const auto start_row = [&] {
      gutter_.start(row_, {});
      put_connectors(left);
    };
    start_row();
    row_.to_column(at(p.column));
    put_wrapped(row_, p.message, &Report_message_tag, layout_.tab_width, layout_.row_width,
                start_row);
    row_.end_row();
  }

  // Where a label over several lines opens or closes: a line from its lane
  // to the part's column, then the marker; the closing one ends with the
  // label's message.
  void connector_row(const Report_part& p) {
    const bool closes = p.kind == Report_part::Kind::Closes;
    gutter_.start(row_, {}, p.lane);
    const std::int64_t lane = gutter_.lane_column(p.lane);
    if (closes) {
      row_.to_column(lane);
      row_.put("|", 1, p.tag);
    }
    row_.to_column(lane + 1);
    row_.repeat(at(p.column) - (lane + 1), '_', p.tag);
    row_.repeat(clip(p.column_end) - p.column, p.marker, p.tag);
    if (closes && !p.message.empty()) {
      row_.to_column(row_.column() + 1);
      put_wrapped(row_, p.message, &Report_message_tag, layout_.tab_width, layout_.row_width,
                  [&] { gutter_.start(row_, {}, p.lane); });
    }
    row_.end_row();
    gutter_.lanes[p.lane] = closes ? nullptr : p.tag;
  }

  Row_writer& row_;
  Gutter& gutter_;
  std::string_view number_;
  std::string_view text_;
  const Layout_plan& layout_;
  Cut_marker marker_;
  std::int64_t window_width_ = 0;
  bool quote_ = false;
  bool dotted_ = false;
  const std::vector<Report_part>* marks_ = nullptr;  // dotted: the bytes not dotted
  std::size_t next_mark_ = 0;
  std::size_t edge_ = 0;
  Cluster_walk walk_;
  Cluster cluster_;
  bool have_ = false;
  std::int64_t from_ = 0;
  std::int64_t to_ = 0;
  std::int64_t left_ = 0;
  std::vector<Report_part*>& singles_;
  std::vector<Report_part*>& ends_;
  std::vector<Report_part*>& lifted_;
  Line_lists& lists_;
  std::vector<const Report_part*>& hanging_;
  std::vector<const Report_part*>& connectors_;
};

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
  std::stable_sort(sorted.begin(), sorted.end(), [](const Report_part* a, const Report_part* b) {
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
