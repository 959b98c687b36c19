// SPDX-License-Identifier: MIT
#include "input/counted_columns.hpp"

#include <algorithm>
#include <iterator>

namespace vantel::detail {

template <class Before>
Column_place Counted_columns::farthest(Before before) const noexcept {
  Column_place best;
  // Places ascend in bytes and in units alike.
  const auto past = std::partition_point(passed_.begin(), passed_.end(), before);
  if (past != passed_.begin()) best = *std::prev(past);
  if (before(reached_) && reached_.byte > best.byte) best = reached_;
  return best;
}

Column_place Counted_columns::before_column(std::int64_t col) const noexcept {
  return farthest([col](const Column_place& p) { return p.before < col; });
}

Column_place Counted_columns::before_byte(std::int64_t at) const noexcept {
  return farthest([at](const Column_place& p) { return p.byte <= at; });
}

void Counted_columns::walk(std::int64_t line_start, Column_unit unit, int tab_width) noexcept {
  if (line_start == line_start_ && unit == unit_ && tab_width == tab_width_) return;
  line_start_ = line_start;
  unit_ = unit;
  tab_width_ = tab_width;
  reached_ = {};
  passed_.clear();
}

void Counted_columns::pass(Column_place place) noexcept {
  const std::int64_t last = passed_.empty() ? 0 : passed_.back().byte;
  if (place.byte - last < stride) return;
  try {
    passed_.push_back(place);
  } catch (...) {
    // Only a shortcut is lost: the line is walked from an earlier place.
  }
}

}  // namespace vantel::detail
