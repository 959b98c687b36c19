// SPDX-License-Identifier: MIT
// Arithmetic on caller-given integers: a result that does not fit in
// std::int64_t throws instead of overflowing.
#pragma once

#include "support/unnamed.hpp"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantel::detail {

// Exact a + b, or std::overflow_error naming what was being computed (and,
// once it reaches a layer that knows it, the input).
[[nodiscard]] inline std::int64_t checked_add(std::int64_t a, std::int64_t b, const char* what) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum))
    throw Unnamed<std::overflow_error>(std::string(what) + ": " + std::to_string(a) + " + " +
                                       std::to_string(b) + " does not fit in a 64-bit offset");
  return sum;
}

// Exact a - b, or std::overflow_error naming what was being computed.
[[nodiscard]] inline std::int64_t checked_sub(std::int64_t a, std::int64_t b, const char* what) {
  std::int64_t diff = 0;
  if (__builtin_sub_overflow(a, b, &diff))
    throw Unnamed<std::overflow_error>(std::string(what) + ": " + std::to_string(a) + " - " +
                                       std::to_string(b) + " does not fit in a 64-bit offset");
  return diff;
}

}  // namespace vantel::detail
