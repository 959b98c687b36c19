// Gathering the whole lines that hold a span of offsets.
#pragma once

#include "raw_cursor.hpp"
#include "source_line.hpp"

#include <vector>

namespace vantel::detail {

// The lines from the one starting at `start.line_start` up to, not including,
// the first line that starts at or after `end.char_offset`. Carriage returns
// are dropped from the texts but counted in the offsets.
[[nodiscard]] std::vector<source_line> lines_around(const lexing_position& start,
                                                    const lexing_position& end, Raw_cursor& raw);

}  // namespace vantel::detail
