// SPDX-License-Identifier: MIT
// A line too long to hold, cut to the part that a window of text can show.
#pragma once

#include "input/line_reader.hpp"
#include "support/wide_integer.hpp"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantel::detail {

// Lines of more bytes than this are sliced for a window rather than read
// whole; the tests lower it, so that short lines take the same way.
[[nodiscard]] std::atomic<std::size_t>& slice_above() noexcept;

// A slice of a line, and where the line ends.
struct Line_slice {
  std::string text;         // from a cluster's start to a cluster's end
  std::int64_t start = 0;   // the offset of its first byte
  std::int64_t column = 0;  // the display column of that byte
  std::int64_t rest = 0;    // bytes of the line after it, as far as it was read
  // The offset after the line's last byte, its line feed left out; for a line
  // that goes on too far past the slice (an endless input), after the last
  // byte read, with `ended` false.
  std::int64_t end = 0;
  bool ended = false;  // by a line feed
};

// What a slice must hold: the clusters of its line from a window's width
// and a column before the one that holds offset `first`, to as far after
// the one that holds offset `last`: all that windows of
// at most `width` columns placed for the cells between walk, with at least
// one column cut on each side. The slice starts at a column that is a
// multiple of `align`, so that a walk from its start at column 0 finds the
// tab stops where the line has them.
struct Slice_need {
  std::int64_t first = 0;
  std::int64_t last = 0;
  Wide width = 0;
  int tab_width = 1;
  int align = 1;
  // The last offset that the caller asks about: once the line is known to
  // hold it and to go on past the slice, the rest of it is not read, and the
  // slice is given as that of a line that goes on.
  std::int64_t reach = max_offset;
};

// The slice of the line at `start` that `need` asks for. Reads the line
// once, piece by piece, walking its clusters up to the slice's end and only
// reading on after it, and holds little more than the slice. None for a line
// no longer than slice_above(), one whose text does not hold `first`, or one
// whose slice would not be small: such a line is read whole.
[[nodiscard]] std::optional<Line_slice> slice_line(Line_reader& reader, std::int64_t start,
                                                   const Slice_need& need);

}  // namespace vantel::detail
