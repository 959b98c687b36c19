// One line as gathered for a quote.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace vantel::detail {

struct source_line {
  std::string text;           // without its line feed and without any carriage return
  std::int64_t start_offset;  // offset of the line's first byte
};

// The offset of a non-empty line's last byte; bytes past the largest offset
// cannot be highlighted, so the range stops there.
[[nodiscard]] inline std::int64_t last_offset_of(const source_line& line) {
  __extension__ typedef __int128 Wide;
  const Wide last = Wide{line.start_offset} + static_cast<Wide>(line.text.size()) - 1;
  return static_cast<std::int64_t>(std::min<Wide>(last, std::numeric_limits<std::int64_t>::max()));
}

// Takes gathered lines one at a time, in input order. A line lives only for
// the call, and the sink may take its text (by swapping in a buffer of its
// own): a quote over millions of lines keeps none that it does not show.
using Line_sink = std::function<void(source_line&)>;

}  // namespace vantel::detail
