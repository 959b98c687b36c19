// SPDX-License-Identifier: MIT
// What the edits of one input do to its lines: blocks of old lines and the
// new lines that replace them, each numbered in its own text.
#pragma once

#include "fix/placed_edit.hpp"
#include "fix/spliced_line.hpp"
#include "input/raw_cursor.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantel::detail {

// Bytes of a new line that an edit wrote, and how many old bytes they
// replace (0 for an insertion).
struct Written {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t replaced = 0;
};

// Old lines and their replacement, held as where their bytes are. Each line
// keeps its line feed, when it has one: only the input's last line lacks it.
struct Changed_lines {
  std::int64_t old_line = 1;  // the first removed line, or where the added ones go
  std::int64_t new_line = 1;  // the first added line, in the patched text
  std::vector<Spliced_line> removed;
  std::vector<Spliced_line> added;
  // One line that stays one line: drawn as it reads after the edits, with
  // what they wrote marked (`written`, in bytes of added[0]). Its lines are
  // then kept whole; otherwise lines that the edits leave as they were are
  // taken off both ends.
  bool one_line = false;
  std::vector<Written> written;
};

// The changes of `edits` (sorted, apart) on `cursor`, by line, but those
// that leave their lines as they were; only the lines the edits touch are
// read, a piece at a time. Throws std::out_of_range for an edit past the end
// of the input.
[[nodiscard]] std::vector<Changed_lines> changed_lines(Raw_cursor& cursor,
                                                       const Edits_of_input& edits);

// Line `line` of the input into `out`, with its line feed when it has one;
// false when the input has no such line (an input that ends with a line
// feed has no empty line after it).
bool numbered_line(Raw_cursor& cursor, std::int64_t line, Spliced_line& out);

}  // namespace vantel::detail
