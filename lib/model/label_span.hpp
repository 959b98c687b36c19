// SPDX-License-Identifier: MIT
// The one rule that turns a label's (or an edit's) location into offsets.
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/position.hpp>

#include <cstdint>
#include <optional>

namespace vantel::detail {

// The bytes a location covers: from `start` to one before `end`.
struct Span {
  std::int64_t start = 0;
  std::int64_t end = 0;  // at least start
};

// `location` resolved on `cursor`: the end first, then the start, as quotes
// resolve them; none when either is a lexer position without an offset. A
// negative start stands at 0 and a reversed location is a point at its start;
// offsets past the end of the input stay as they are, for readers to cut.
[[nodiscard]] std::optional<Span> span_of(Raw_cursor& cursor, const Location& location);

}  // namespace vantel::detail
