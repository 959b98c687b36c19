// SPDX-License-Identifier: MIT
// The drawing of one line in windows, with marks and messages under it: the
// engine behind labelled lines, quoted lines and dotted rows. Its text rows
// are drawn in line_drawing.cpp, the rows under them in mark_rows.cpp.
#pragma once

#include "draw/cut_marker.hpp"
#include "draw/gutter.hpp"
#include "draw/labelled_line.hpp"
#include "draw/layout_plan.hpp"
#include "draw/line_lists.hpp"
#include "draw/report_part.hpp"
#include "draw/row_writer.hpp"
#include "text/cluster_walk.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Draws the windows of one line, left to right, walking its clusters once.
class Line_drawing {
 public:
  Line_drawing(Row_writer& row, Gutter& gutter, std::string_view number, std::string_view text,
               const Layout_plan& layout, Line_lists& lists);

  // The columns that a window holds; 0 for no limit.
  void set_window_width(std::int64_t width) noexcept { window_width_ = width; }

  // The window of columns [from, to) and the parts that begin in it, sorted
  // by column. `text_width` is the width of the line's text.
  void window(std::int64_t from, std::int64_t to, std::int64_t text_width,
              const std::vector<Report_part*>& parts);

  // A quote's dotted row: the window's text, each cluster outside `marks`
  // shown as a dot per column; the number column is the caller's.
  void dotted(const Quote_window& window, const std::vector<Report_part>& marks);

  // A quote's window: its text, then the carets of its parts.
  void quote(const Quote_window& window, const std::vector<Report_part*>& parts);

 private:
  // Where column `column` of the line is drawn in the row.
  [[nodiscard]] std::int64_t at(std::int64_t column) const noexcept {
    return (dotted_ ? 0 : gutter_.origin()) + left_ + (column - from_);
  }
  [[nodiscard]] std::int64_t clip(std::int64_t column) const noexcept {
    return std::min(column, to_);
  }

  void text_row(bool cut_right);

  // The clusters wholly inside the window, text ones written in runs. One
  // that straddles an edge is left out, its columns blank.
  void window_text();

  // Whether the cluster lies under a mark, asked in ascending order; sets
  // `edge_` to the byte where that changes.
  bool marked();

  // The column up to which plain bytes keep the last cluster's marking.
  [[nodiscard]] std::int64_t edge_column() const noexcept;

  // The cluster, in its shown form.
  void put_cluster();

  // The cluster, and the plain bytes after it up to the next mark, as dots.
  void put_dots();

  // Steps the walk over the plain bytes before `column`; how many.
  std::size_t skip_plain_to(std::int64_t column) noexcept;

  // The part that reaches furthest right; of those, the one that begins
  // last, then the first listed.
  [[nodiscard]] const Report_part* rightmost(const std::vector<Report_part*>& singles) const;

  // The underlines of the parts that lie on the line. The rightmost part
  // gets its message at the end of the row when it fits there; that part is
  // returned.
  const Report_part* underline_row(const std::vector<Report_part*>& singles);

  // The underline of each lifted part on a row of its own; their messages
  // hang below with the others.
  void lifted_rows();

  // The other messages, each on a row of its own, rightmost first, below a
  // row of connectors; every message still to come keeps its connector.
  void hanging_rows(const std::vector<Report_part*>& singles, const Report_part* placed);

  // The row of one hanging message, under the connectors of every part left
  // of it, which are still to come.
  void hanging_row(const Report_part& p);

  // The connectors of the first `count` hanging messages, left to right.
  void put_connectors(std::size_t count);

  // Where a label over several lines opens or closes: a line from its lane
  // to the part's column, then the marker; the closing one ends with the
  // label's message.
  void connector_row(const Report_part& p);

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

}  // namespace vantel::detail
