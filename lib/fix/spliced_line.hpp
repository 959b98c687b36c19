// SPDX-License-Identifier: MIT
// A line of an input, or of the text that edits leave, held as where its
// bytes are (runs of the input, edits' replacements) rather than as the
// bytes: a long line costs no more than a short one until it is written, and
// then a piece at a time.
#pragma once

#include "input/raw_cursor.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Bytes of the input from `start`, or an edit's replacement `text`.
struct Line_run {
  bool from_input = true;
  std::int64_t start = 0;
  std::int64_t size = 0;
  std::string_view text;
};

struct Spliced_line {
  std::vector<Line_run> runs;
  std::int64_t size = 0;  // its line feed included
  bool ended = false;     // by a line feed
};

// Hands `take` the line's bytes, line feed included, a piece at a time.
void read_spliced(Raw_cursor& cursor, const Spliced_line& line,
                  const std::function<void(std::string_view)>& take);
// The same for the line's bytes [from, to).
void read_spliced(Raw_cursor& cursor, const Spliced_line& line, std::int64_t from, std::int64_t to,
                  const std::function<void(std::string_view)>& take);

// The line's bytes, line feed included: for lines that are drawn whole.
[[nodiscard]] std::string text_of(Raw_cursor& cursor, const Spliced_line& line);

// Whether the two lines hold the same bytes; compares a piece at a time.
[[nodiscard]] bool same_text(Raw_cursor& cursor, const Spliced_line& a, const Spliced_line& b);

// The lines of `runs` laid end to end, each of which but the last ends
// right before one of `feeds` (ascending offsets, each just after a line feed).
[[nodiscard]] std::vector<Spliced_line> lines_of(const std::vector<Line_run>& runs,
                                                 const std::vector<std::int64_t>& feeds);

}  // namespace vantel::detail
