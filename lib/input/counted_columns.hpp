// SPDX-License-Identifier: MIT
// Columns already counted on one line, so that another column of that line
// is counted on from the nearest place known before it rather than from the
// line's start: the two ends of a location far into a long line cost one
// walk of it.
#pragma once

#include <vantel/column_unit.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantel::detail {

// The start of a character or cluster: its byte from the line's start and
// the units before it.
struct Column_place {
  std::int64_t byte = 0;
  std::int64_t before = 0;
};

class Counted_columns {
 public:
  // A walk of the line at `line_start` begins: places of another line or
  // unit, or forgotten ones, are dropped.
  void walk(std::int64_t line_start, Column_unit unit, int tab_width) noexcept;

  // The farthest place known on that line before column `col`; the line's
  // start when none is known.
  [[nodiscard]] Column_place before_column(std::int64_t col) const noexcept;
  // The same for a place at or before byte `at` of the line.
  [[nodiscard]] Column_place before_byte(std::int64_t at) const noexcept;

  // A place the walk passed; one a stride is kept.
  void pass(Column_place place) noexcept;
  // The place where the walk stopped.
  void reach(Column_place place) noexcept { reached_ = place; }

  void forget() noexcept { line_start_ = -1; }

 private:
  template <class Before>
  [[nodiscard]] Column_place farthest(Before before) const noexcept;

  static constexpr std::int64_t stride = std::int64_t{1} << 20;

  std::int64_t line_start_ = -1;
  Column_unit unit_ = Column_unit::Bytes;
  int tab_width_ = 0;
  Column_place reached_;
  std::vector<Column_place> passed_;  // ascending, a stride or more apart
};

}  // namespace vantel::detail
