// SPDX-License-Identifier: MIT
// One line as gathered for a quote.
#pragma once

#include "support/wide_integer.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

namespace vantel::detail {

struct source_line {
  // Without its line feed; in the byte layout without any carriage return,
  // in the text layout without the one right before the line feed.
  std::string text;
  std::int64_t start_offset;  // offset of the text's first byte
  // A slice of a long line (text layout only): the display column of its
  // first byte, and how many bytes of the line follow it.
  std::int64_t column = 0;
  std::int64_t rest = 0;
};

// The offset of a non-empty line's last byte; bytes past the largest offset
// cannot be highlighted, so the range stops there.
[[nodiscard]] inline std::int64_t last_offset_of(std::int64_t start, std::size_t size) {
  const Wide last = Wide{start} + static_cast<Wide>(size) - 1;
  return static_cast<std::int64_t>(std::min<Wide>(last, max_offset));
}
[[nodiscard]] inline std::int64_t last_offset_of(const source_line& line) {
  return last_offset_of(line.start_offset, line.text.size());
}

}  // namespace vantel::detail
