// Gathering the whole lines that hold a span of offsets.
#pragma once

#include "input/raw_cursor.hpp"
#include "quote/source_line.hpp"

#include <cstdint>

namespace vantel::detail {

// Gives `sink` the lines from the one starting at `line_start` up to, not
// including, the first line that starts at or after `end_offset`. Carriage
// returns are dropped from the texts but counted in the offsets. Bytes that
// the cursor holds at hand are taken many at a time, never further than
// reading them one by one would go.
void lines_around(std::int64_t line_start, std::int64_t end_offset, Raw_cursor& raw,
                  const Line_sink& sink);

}  // namespace vantel::detail
