// SPDX-License-Identifier: MIT
#include "quote/text_row.hpp"

#include "draw/window.hpp"

#include <algorithm>
#include <iterator>
#include <tuple>
#include <utility>

namespace vantel::detail {

Text_row::Text_row(const Bound_set& set, const source_line& line, int tab_width, Wide window,
                   bool past_text)
    : set_(set),
      text_(line.text),
      start_(line.start_offset),
      column_(line.column),
      rest_(line.rest),
      tab_width_(tab_width),
      max_width_(window <= 0 ? unlimited : window) {
  const Wide text_end = offset_of(text_.size()) + rest_;
  if (past_text) {
    // The underline runs to the last highlighted offset, wherever it lies.
    if (!set_.intervals().empty() && set_.intervals().back().end.offset >= start_)
      last_lit_ = set_.intervals().back().end.offset;
    if (last_lit_ && *last_lit_ >= text_end) past_count_ = *last_lit_ - text_end + 1;
  } else {
    // The last highlighted byte of the text.
    const auto after = std::partition_point(set_.begin(), set_.end(), [text_end](const auto& i) {
      return Wide{i.start.offset} < text_end;
    });
    if (after != set_.begin() && std::prev(after)->end.offset >= start_)
      last_lit_ = std::min<Wide>(std::prev(after)->end.offset, text_end - 1);
  }
  find_window();
}

Text_row::Iterator Text_row::reaching(Wide offset, Iterator hint) const {
  if (offset > max_offset) return set_.end();
  if (offset < min_offset) return set_.begin();
  return set_.first_reaching(static_cast<std::int64_t>(offset), hint);
}

bool Text_row::touches(const Cluster& c, Iterator& hint, Iterator& last) const {
  const Wide first = offset_of(c.begin);
  const Wide final = offset_of(c.end) - 1;
  // Clusters ascend: the interval that reached the last one mostly reaches
  // this one too, and a search is needed only past its end.
  if (hint == set_.end() || Wide{hint->end.offset} < first) hint = reaching(first, hint);
  if (hint == set_.end() || Wide{hint->start.offset} > final) return false;
  last = hint;
  while (std::next(last) != set_.end() && Wide{std::next(last)->start.offset} <= final) ++last;
  return true;
}

// How far a walk from the start of the line must go to place the window:
// to a window's width past the first highlighted cell, or to the end.
Text_row::Reach Text_row::walk_to_window() {
  Reach reach;
  reach.recent = reach.older = text_start();
  Wide next_mark = Wide{column_} + max_width_;
  Cluster_walk walk(text_, tab_width_, 0, column_);
  Iterator hint = set_.begin();
  Iterator last;
  for (Cluster c;;) {
    if (!first_lit_)
      skip_to(walk,
              std::min(offset_of(walk.position()) + (next_mark - walk.column()),
                       hint == set_.end() ? offset_of(text_.size()) : Wide{hint->start.offset}));
    if (!walk.next(c)) break;
    if (first_lit_ && c.column >= *first_lit_ + max_width_) {
      reach.stopped = c.begin;
      return reach;
    }
    if (!first_lit_ && c.column >= next_mark) {
      reach.older = reach.recent;
      reach.recent = {c.begin, c.column};
      next_mark = Wide{c.column} + max_width_;
    }
    if (!touches(c, hint, last)) continue;
    reach.lit_end = Wide{c.column} + c.width;
    if (!first_lit_) std::tie(first_lit_, reach.first_end) = std::pair(c.column, *reach.lit_end);
  }
  if (rest_ > 0) {
    // A slice reaches past the window: the walk stops as on a whole line.
    reach.stopped = text_.size();
    return reach;
  }
  reach_end(reach, walk.column(), hint);
  return reach;
}

// The walk reached the end of the text, `text_width` columns wide: the row
// goes on with a column per offset past it up to the last highlighted one.
void Text_row::reach_end(Reach& reach, Wide text_width, Iterator hint) {
  reach.width = text_width + past_count_;
  if (past_count_ == 0) return;
  if (!first_lit_) {
    const Wide text_end = offset_of(text_.size());
    const Iterator i = reaching(text_end, hint);
    first_lit_ = text_width + (std::max<Wide>(i->start.offset, text_end) - text_end);
    reach.first_end = *first_lit_ + 1;
  }
  reach.lit_end = reach.width;
}

// Steps the walk over plain text up to `offset`: such text is only counted.
void Text_row::skip_to(Cluster_walk& walk, Wide offset) const {
  const Wide room = offset - offset_of(walk.position());
  if (room > 0)
    walk.skip_plain(walk.position() + static_cast<std::size_t>(
                                          std::min<Wide>(room, static_cast<Wide>(text_.size()))));
}

// The window, placed on the columns that the walk found. Walks the text up
// to the window and no further, and never walks the offsets past the text
// one by one.
void Text_row::find_window() {
  if (max_width_ == unlimited) return;
  const Reach reach = walk_to_window();
  Window_need need;
  if (!reach.stopped) need.row_width = reach.width;
  need.width = max_width_;
  if (first_lit_) {
    need.first = *first_lit_;
    need.first_end = reach.first_end;
    need.last_end = reach.lit_end.value_or(reach.first_end);
    // A walk that stopped saw every highlighted cell when none lies past it.
    need.last_known = !reach.stopped || !last_lit_ || *last_lit_ < offset_of(*reach.stopped);
  }
  const std::optional<Window> window = place_window(need);
  if (!window) return;
  const bool fits = !first_lit_ || (need.last_known && need.last_end - *first_lit_ <= max_width_);
  // The window reaches at least to the end of the first highlighted cell.
  open_window(window->from, first_lit_ ? reach.first_end : 0, fits ? reach.lit_end : std::nullopt,
              reach);
}

// Opens the window with the first cluster at or after the target column,
// walking from the nearest mark before it. When the target falls inside the
// row's first cluster (an indenting tab, most often), the window opens at the
// start of the row instead, uncut, if it still reaches `keep_until`, the end
// of the highlighted cells.
void Text_row::open_window(Wide target, Wide least_end, std::optional<Wide> keep_until,
                           const Reach& reach) {
  const Mark from = reach.recent.column <= target  ? reach.recent
                    : reach.older.column <= target ? reach.older
                                                   : text_start();
  Cluster_walk seek(text_, tab_width_, from.byte, from.column);
  skip_to(seek, offset_of(from.byte) + (target - from.column));
  Cluster c;
  bool found = false;
  while (!found && seek.next(c)) found = c.column + Wide{c.width} > target;
  if (found && c.column < target && !(c.column == 0 && keep_until && max_width_ >= *keep_until)) {
    found = seek.next(c);
  }
  if (found) {
    from_byte_ = c.begin;
    from_column_ = c.column;
    first_column_ = c.column;
  } else {
    from_byte_ = text_.size();
    from_column_ = seek.column();
    first_column_ = std::max<Wide>(target, seek.column());
  }
  limit_ = std::max(first_column_ + max_width_, least_end);
}

namespace {

std::int64_t narrow(Wide column) noexcept {
  return static_cast<std::int64_t>(std::clamp<Wide>(column, 0, max_offset));
}

}  // namespace

Wide Text_row::past_end(Wide from, Wide to) const {
  if (from >= to) return from;
  const auto after = std::partition_point(
      set_.begin(), set_.end(), [to](const auto& i) { return Wide{i.start.offset} < to; });
  if (after == set_.begin()) return from;
  const Wide end = Wide{std::prev(after)->end.offset} + 1;
  return end > from ? std::min(end, to) : from;
}

// Walks the clusters that the window shows: from its first as long as they
// end by its limit, the first always. Returns the column after the last one,
// and sets `end_byte` and `cut` where one more does not fit.
Wide Text_row::walk_window(std::size_t& end_byte, bool& cut) const {
  Cluster_walk walk(text_, tab_width_, from_byte_, from_column_);
  end_byte = text_.size();
  for (Cluster c;;) {
    const Wide room = std::min<Wide>(limit_ - walk.column(), text_.size() - walk.position());
    if (room > 0) walk.skip_plain(walk.position() + static_cast<std::size_t>(room));
    if (!walk.next(c)) {
      cut = rest_ > 0;
      return walk.column();
    }
    if (c.column + Wide{c.width} > limit_ && c.begin != from_byte_) {
      cut = true;
      end_byte = c.begin;
      return c.column;
    }
  }
}

// Past the text, a column per offset up to the last highlighted one the
// window holds. A window that opens past the text is drawn over no text, its
// columns counted from its start: the offsets there may be near the largest.
Quote_window Text_row::shown(std::vector<Report_part>& parts, const Report_part& like,
                             std::string_view& text) const {
  Quote_window window;
  std::size_t end_byte = text_.size();
  // A row shown whole up to its text's end needs no walk: the engine's does.
  Wide end_column = max_offset;
  if (limit_ != unlimited || past_count_ > 0 || rest_ > 0)
    end_column = walk_window(end_byte, window.cut_right);
  const Wide text_end = offset_of(text_.size());
  Wide from = offset_of(from_byte_);
  Wide to = offset_of(end_byte);
  Wide origin = column_;     // the column of the text drawn
  Wide base = Wide{start_};  // and its offset
  text = text_;
  if (!window.cut_right && past_count_ > 0) {
    const Wide past_from = text_end + std::max<Wide>(first_column_ - end_column, 0);
    Wide last = text_end + past_count_;
    if (limit_ != unlimited) last = std::min(last, text_end + (limit_ - end_column));
    to = past_end(past_from, last);
    end_column += to - text_end;
    if (from_byte_ == text_.size()) {
      std::tie(from, origin, base) = std::tuple(past_from, first_column_, past_from);
      text = {};
    }
  }
  window.from = narrow(first_column_ - origin);
  window.to = narrow(end_column - origin);
  if (end_column == max_offset) window.to = max_offset;
  window.cut_left = first_column_ > 0;
  window.carets_before = first_lit_ && *first_lit_ < first_column_;
  window.carets_after = last_lit_ && *last_lit_ >= to;
  parts.clear();
  for (Iterator i = reaching(from, set_.begin()); i != set_.end() && Wide{i->start.offset} < to;
       ++i) {
    Report_part& p = parts.emplace_back(like);
    p.begin = static_cast<std::size_t>(std::max<Wide>(i->start.offset, from) - base);
    p.end = static_cast<std::size_t>(std::min<Wide>(Wide{i->end.offset} + 1, to) - base);
  }
  return window;
}

}  // namespace vantel::detail
