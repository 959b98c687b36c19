// Gathering the whole lines that hold a span of offsets.
#pragma once

#include "input/raw_cursor.hpp"
#include "quote/source_line.hpp"

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

}  // namespace vantel::detail
