// Gathering the whole lines that hold a span of offsets.
#pragma once

#include "input/raw_cursor.hpp"
#include "quote/source_line.hpp"

#include <vantel/lexing_position.hpp>

#include <cstdint>
#include <vector>

namespace vantel::detail {

// The lines from the one starting at `line_start` up to, not including, the
// first line that starts at or after `end_offset`. Carriage returns are
// dropped from the texts but counted in the offsets. Bytes that the cursor
// holds at hand are taken many at a time, never further than reading them one
// by one would go.
[[nodiscard]] std::vector<source_line> lines_around(std::int64_t line_start,
                                                    std::int64_t end_offset, Raw_cursor& raw);

// The same, from start.line_start to end.char_offset.
[[nodiscard]] inline std::vector<source_line> lines_around(const lexing_position& start,
                                                           const lexing_position& end,
                                                           Raw_cursor& raw) {
  return lines_around(start.line_start, end.char_offset, raw);
}

}  // namespace vantel::detail
