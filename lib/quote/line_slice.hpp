// SPDX-License-Identifier: MIT
// A line too long to hold, cut to the part that a window of text can show.
#pragma once

#include "input/line_reader.hpp"
#include "quote/source_line.hpp"
#include "support/wide_integer.hpp"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantel::detail {

// Lines of more bytes than this are sliced for a window rather than read
// whole; the tests lower it, so that short lines take the same way.
[[nodiscard]] std::atomic<std::size_t>& slice_above() noexcept;

// A slice of a line, and where the line ends.
struct Line_slice {
  source_line line;  // its text is the slice; `column` and `rest` say where it lies
  std::int64_t end;  // the offset after the line's last byte, its line feed left out
  bool ended;        // by a line feed
};

// The clusters of the line at `start` from two marks a window's width apart
// before the one that holds offset `first` to a window's width after it:
// all that a window of at most `width` columns placed for that cluster
// walks. Reads the line once, piece by piece, walking its clusters up to the
// slice's end and only reading on after it, and holds little more than the
// slice. None for a line no longer than slice_above(), or one whose text
// does not hold `first`: such a line is read whole.
[[nodiscard]] std::optional<Line_slice> slice_line(Line_reader& reader, std::int64_t start,
                                                   std::int64_t first, Wide width, int tab_width);

}  // namespace vantel::detail
