// SPDX-License-Identifier: MIT
#include "model/label_span.hpp"

#include "position/resolve.hpp"

#include <algorithm>

namespace vantel::detail {

std::optional<Span> span_of(Raw_cursor& cursor, const Location& location) {
  // The order matters to callable inputs, which see the queries as they come.
  const std::int64_t end = to_offset_raw(cursor, location.second);
  const std::int64_t start = to_offset_raw(cursor, location.first);
  if (start == -1 || end == -1) return std::nullopt;
  Span span;
  span.start = std::max<std::int64_t>(start, 0);
  span.end = std::max(end, span.start);
  return span;
}

}  // namespace vantel::detail
