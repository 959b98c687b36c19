// SPDX-License-Identifier: MIT
// Columns of one line counted in bytes, UTF-16 code units, code points or
// terminal cells, and the bytes they stand for.
#pragma once

#include <vantel/column_unit.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// `line` holds neither its line feed nor the carriage return before it.
// Columns are 1-based; a byte that is not UTF-8 counts one of every unit. In
// display columns a line is cut into clusters as a quote cuts it, and what a
// quote shows escaped counts one cell. `tab_width` is 1 to max_tab_width.
//
// Both walk the line once from its start, as far as they need; neither
// allocates.

// The first byte of the character or cluster that holds column `col`; the
// line's size for a column past its end, 0 for one below 1.
[[nodiscard]] std::size_t byte_of_column(std::string_view line, std::int64_t col, Column_unit unit,
                                         int tab_width) noexcept;

// The column of the character or cluster that holds byte `at`; for `at` at or
// past the line's size, the column after its last character.
[[nodiscard]] std::int64_t column_of_byte(std::string_view line, std::size_t at, Column_unit unit,
                                          int tab_width) noexcept;

// Both answers over a line handed in pieces, so that a long line is counted
// without being held: the steps walked are dropped, and a step is taken only
// when the next piece cannot join it. Append each piece to buffer(), then
// ask; the answer holds once a call returns true (`last` says that the
// buffer holds the line's end, without its line feed or the carriage return
// before it).
class Unit_counter {
 public:
  Unit_counter(Column_unit unit, int tab_width) noexcept : unit_(unit), tab_width_(tab_width) {}

  [[nodiscard]] std::string& buffer();

  // Counts on from byte `byte` of the line, the start of a character or
  // cluster with `before` units before it, rather than from the line's
  // start; before the first piece.
  void resume(std::int64_t byte, std::int64_t before) noexcept {
    byte_ = byte;
    before_ = before;
  }

  // Walks to the step that holds column `col` (col > 1); byte() is then
  // its first byte, or the line's size past its end.
  [[nodiscard]] bool to_column(std::int64_t col, bool last);
  // Walks to the step that holds byte `at`; column() is then its column.
  [[nodiscard]] bool to_byte(std::int64_t at, bool last);

  [[nodiscard]] std::int64_t byte() const noexcept {
    return byte_ + static_cast<std::int64_t>(at_);
  }
  [[nodiscard]] std::int64_t column() const noexcept { return before_ + 1; }

 private:
  template <class Done>
  bool walk(bool last, std::int64_t most_units, std::size_t most_bytes, Done done);

  Column_unit unit_;
  int tab_width_;
  std::string buffer_;
  std::int64_t byte_ = 0;    // of buffer_[0] in the line
  std::size_t at_ = 0;       // the next step's start in buffer_
  std::int64_t before_ = 0;  // units before it
};

}  // namespace vantel::detail
