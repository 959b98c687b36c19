// SPDX-License-Identifier: MIT
// One row of the text layout: the clusters of a line and, for an underline,
// one column per offset past its text up to the last highlighted one, cut to
// a window of display columns around the highlighted cells.
#pragma once

#include "draw/labelled_line.hpp"
#include "draw/report_part.hpp"
#include "quote/quote.hpp"
#include "quote/source_line.hpp"
#include "support/wide_integer.hpp"
#include "text/cluster_walk.hpp"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace vantel::detail {

// What a row writes, cell by cell. A cell is a cluster, or a run of offsets
// past the text, one column each. `joins` says that a highlighted cell
// continues the interval of the highlighted cell just before it.
//   void left_cut(bool carets_cut);  the window starts after column 0
//   void cluster(const Cluster&, bool highlighted, bool joins);
//   void plain(std::size_t begin, std::size_t end, bool highlighted, bool joins);
//     bytes of the line that are each a cluster one column wide
//   void past_text(Wide count, bool highlighted, bool joins);
//   void right_cut(bool text_cut, bool carets_cut);  called once, last
class Text_row {
 public:
  // `past_text`: whether the offsets past the text get columns, as under
  // the line of a single-line quote. `window` is the width of a window of
  // text, 0 for none. Columns and offsets of a row are wide: an end offset of
  // INT64_MAX puts the last cell that far to the right of the text, and
  // columns add to it.
  Text_row(const Bound_set& set, const source_line& line, int tab_width, Wide window,
           bool past_text);

  template <class Sink>
  void emit(Sink& sink) const;

  // The window as the line engine draws it over `text`, and a part like
  // `like` for each highlighted interval in it, in bytes of `text`: only
  // those, so that a line of many costs no more than its window.
  [[nodiscard]] Quote_window shown(std::vector<Report_part>& parts, const Report_part& like,
                                   std::string_view& text) const;

 private:
  using Iterator = Bound_set::const_iterator;
  static constexpr Wide unlimited = max_offset;

  [[nodiscard]] Wide offset_of(std::size_t byte) const noexcept {
    return Wide{start_} + static_cast<Wide>(byte);
  }
  // The first interval ending at or after `offset`, searching from `hint`.
  [[nodiscard]] Iterator reaching(Wide offset, Iterator hint) const;
  // Whether a cluster is highlighted, and the first and last intervals it
  // touches; `hint` moves along.
  bool touches(const Cluster& c, Iterator& hint, Iterator& last) const;

  // A cluster start, to resume a walk from.
  struct Mark {
    std::size_t byte = 0;
    std::int64_t column = 0;
  };
  [[nodiscard]] Mark text_start() const noexcept { return {0, column_}; }
  // What the walk to the window found.
  struct Reach {
    // The last two cluster starts taken a window's width apart before the
    // first highlighted cell: where to resume a walk close before the window.
    Mark recent;
    Mark older;
    std::optional<Wide> lit_end;         // the end column of the last highlighted cell seen
    Wide first_end = 0;                  // the end column of the first highlighted cell
    std::optional<std::size_t> stopped;  // the byte where the walk stopped short of the end
    Wide width = 0;                      // the row's, when the walk reached its end
  };

  void find_window();
  Reach walk_to_window();
  void reach_end(Reach& reach, Wide text_width, Iterator hint);
  void skip_to(Cluster_walk& walk, Wide offset) const;
  void open_window(Wide target, Wide least_end, std::optional<Wide> keep_until, const Reach& reach);
  // The offset after the last highlighted cell past the text that the
  // window shows, or `from` for none.
  [[nodiscard]] Wide past_end(Wide from, Wide to) const;
  Wide walk_window(std::size_t& end_byte, bool& cut) const;

  // Hands the sink, in one piece, the clusters from where the walk stands
  // that are each one printable ASCII byte, up to the next change of
  // highlight and within the window: most text, at a byte a step.
  template <class Sink>
  Wide past_text(Sink& sink, Wide text_width, Iterator hint, Iterator previous) const;
  template <class Sink>
  void plain_run(Cluster_walk& walk, Iterator& hint, Iterator& previous, Sink& sink) const;

  const Bound_set& set_;
  std::string_view text_;
  std::int64_t start_;
  std::int64_t column_;  // of the text's first byte: not 0 for a slice of a line
  std::int64_t rest_;    // bytes of the line past the slice
  int tab_width_;
  Wide max_width_;

  Wide past_count_ = 0;            // columns past the text
  std::optional<Wide> first_lit_;  // the column of the first highlighted cell
  std::optional<Wide> last_lit_;   // the offset of the last highlighted cell
  std::size_t from_byte_ = 0;      // where the window's first cluster starts
  std::int64_t from_column_ = 0;
  Wide first_column_ = 0;   // the window's first column
  Wide limit_ = unlimited;  // one past its last column
};

template <class Sink>
void Text_row::emit(Sink& sink) const {
  if (first_column_ > 0) sink.left_cut(first_lit_ && *first_lit_ < first_column_);
  Cluster_walk walk(text_, tab_width_, from_byte_, from_column_);
  Iterator hint = set_.begin();
  Iterator previous = set_.end();  // the last interval of the last highlighted cell
  bool text_cut = false;
  std::size_t shown_bytes = text_.size();  // the end of the last cluster shown
  for (Cluster c;;) {
    plain_run(walk, hint, previous, sink);
    if (!walk.next(c)) {
      // A slice ends past the window: the line goes on, cut.
      text_cut = rest_ > 0;
      break;
    }
    if (c.column + Wide{c.width} > limit_ && c.begin != from_byte_) {
      text_cut = true;
      shown_bytes = c.begin;
      break;
    }
    Iterator last;
    const bool lit = touches(c, hint, last);
    sink.cluster(c, lit, lit && hint == previous);
    previous = lit ? last : set_.end();
  }
  Wide shown_end = offset_of(shown_bytes);  // the offset after the last cell shown
  if (!text_cut && past_count_ > 0) shown_end = past_text(sink, walk.column(), hint, previous);
  sink.right_cut(text_cut, last_lit_ && *last_lit_ >= shown_end);
}

// Past the text, a cell per offset: written in whole runs, never one by one.
// Returns the offset after the last cell written.
template <class Sink>
Wide Text_row::past_text(Sink& sink, Wide text_width, Iterator hint, Iterator previous) const {
  const Wide text_end = offset_of(text_.size());
  const Wide from = text_end + (first_column_ > text_width ? first_column_ - text_width : 0);
  Wide to = text_end + past_count_;  // exclusive
  if (limit_ != unlimited) to = std::min(to, text_end + (limit_ - text_width));
  Wide at = from;
  // A first cluster wider than the window may already reach past its end.
  for (Iterator i = reaching(from, hint);
       from < to && i != set_.end() && Wide{i->start.offset} < to; ++i) {
    const Wide run_from = std::max<Wide>(i->start.offset, at);
    if (run_from > at) sink.past_text(run_from - at, false, false);
    const Wide run_to = std::min<Wide>(Wide{i->end.offset} + 1, to);
    sink.past_text(run_to - run_from, true, i == previous && run_from == text_end);
    at = run_to;
    previous = i;
  }
  return at;
}

template <class Sink>
void Text_row::plain_run(Cluster_walk& walk, Iterator& hint, Iterator& previous, Sink& sink) const {
  const std::size_t begin = walk.position();
  const Wide at = offset_of(begin);
  if (hint == set_.end() || Wide{hint->end.offset} < at) hint = reaching(at, hint);
  const bool lit = hint != set_.end() && Wide{hint->start.offset} <= at;
  const Wide change = hint == set_.end() ? offset_of(text_.size())
                      : lit              ? Wide{hint->end.offset} + 1
                                         : Wide{hint->start.offset};
  const Wide room = std::min(change - at, limit_ - walk.column());
  if (room <= 0) return;
  const std::size_t end = begin + static_cast<std::size_t>(std::min<Wide>(
                                      room, static_cast<Wide>(text_.size() - begin)));
  if (walk.skip_plain(end) == 0) return;
  sink.plain(begin, walk.position(), lit, lit && hint == previous);
  previous = lit ? hint : set_.end();
}

}  // namespace vantel::detail
