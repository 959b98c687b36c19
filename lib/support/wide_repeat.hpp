// SPDX-License-Identifier: MIT
// Writing a count of copies of one byte, however large the count.
#pragma once

#include "support/wide_integer.hpp"

#include <vantel/formatter.hpp>

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace vantel::detail {

// Writes `count` copies of c (nothing when count <= 0), a 64-bit count at a
// time, and stops as soon as the formatter's stream has failed.
inline void print_repeat(Formatter& f, Wide count, char c) {
  while (count > 0 && !f.stream().bad()) {
    const auto n = static_cast<std::int64_t>(std::min<Wide>(count, max_offset));
    f.print_repeat(n, c);
    count -= n;
  }
}

}  // namespace vantel::detail
