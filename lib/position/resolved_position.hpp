// SPDX-License-Identifier: MIT
// A position as quoting reads it, resolved against an input.
#pragma once

#include <cstdint>

namespace vantel::detail {

// A lexer record without its file name, which quoting does not read.
struct Resolved_position {
  std::int64_t line_number;
  std::int64_t line_start;
  std::int64_t char_offset;
};

}  // namespace vantel::detail
