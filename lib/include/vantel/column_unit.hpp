// SPDX-License-Identifier: MIT
// What a column counts, for hosts that do not count bytes.
#pragma once

#include <cstdint>

namespace vantel {

/// What one column of a line is. Columns are 1-based in every unit. A line
/// is read as UTF-8 for every unit but `Bytes`; a byte that does not start a
/// well-formed sequence counts as one unit of every kind. Only the line feed
/// ends a line, and a carriage return right before it is not part of the line.
enum class Column_unit {
  /// A byte: the library's own unit.
  Bytes,
  /// A UTF-16 code unit, as language servers count by default: a character
  /// past U+FFFF counts two (a surrogate pair).
  Utf16,
  /// A code point: every character counts one.
  Code_points,
  /// A terminal cell: a tab reaches the next tab stop, a wide or fullwidth
  /// character or an emoji takes two, combining marks and joined sequences
  /// take the cell of the character they belong to, and a control or a
  /// byte that is not UTF-8 takes one.
  Display,
};

/// The tab stops of `Column_unit::Display`: every this many columns, counted
/// from the start of the line. A tab width is 1 to 64.
inline constexpr int default_tab_width = 8;

/// A line and a column, both 1-based.
struct Line_col {
  /// The line, from 1.
  std::int64_t line = 1;
  /// The column in the unit it was asked in, from 1.
  std::int64_t col = 1;

  /// Same line and same column.
  friend bool operator==(const Line_col& a, const Line_col& b) noexcept {
    return a.line == b.line && a.col == b.col;
  }
  /// Another line or another column.
  friend bool operator!=(const Line_col& a, const Line_col& b) noexcept { return !(a == b); }
};

}  // namespace vantel
