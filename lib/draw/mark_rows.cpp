// SPDX-License-Identifier: MIT
// The rows under a line's text: underlines, lifted underlines, the messages
// that hang below them with their connectors, and where labels over several
// lines open and close.
#include "draw/line_drawing.hpp"

#include "draw/shown_text.hpp"
#include "draw/underline_runs.hpp"
#include "support/stable_sort.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <utility>

namespace vantel::detail {

// The part that reaches furthest right; of those, the one that begins
// last, then the first listed.
const Report_part* Line_drawing::rightmost(const std::vector<Report_part*>& singles) const {
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
const Report_part* Line_drawing::underline_row(const std::vector<Report_part*>& singles) {
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
void Line_drawing::lifted_rows() {
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
void Line_drawing::hanging_rows(const std::vector<Report_part*>& singles,
                                const Report_part* placed) {
  std::vector<const Report_part*>& hanging = hanging_;
  hanging.clear();
  for (const Report_part* p : singles)
    if (p != placed && !p->message.empty()) hanging.push_back(p);
  if (hanging.empty()) return;
  stable_sort_range(hanging.begin(), hanging.end(), [](const Report_part* a, const Report_part* b) {
    return std::make_pair(-a->column, a->order) < std::make_pair(-b->column, b->order);
  });
  // One connector per column, ascending.
  std::vector<const Report_part*>& connectors = connectors_;
  connectors.clear();
  for (auto it = hanging.rbegin(); it != hanging.rend(); ++it)
    if (connectors.empty() || connectors.back()->column != (*it)->column) connectors.push_back(*it);

  gutter_.start(row_, {});
  put_connectors(connectors.size());
  row_.end_row();
  for (const Report_part* p : hanging) {
    if (row_.failed()) return;  // nothing more would be written
    hanging_row(*p);
  }
}

// The row of one hanging message, under the connectors of every part left
// of it, which are still to come.
void Line_drawing::hanging_row(const Report_part& p) {
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
void Line_drawing::connector_row(const Report_part& p) {
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

void Line_drawing::put_connectors(std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    row_.to_column(at(connectors_[k]->column));
    row_.put("|", 1, connectors_[k]->tag);
  }
}

}  // namespace vantel::detail
