// SPDX-License-Identifier: MIT
// The one wide integer of the library, the largest offset, and decimal text.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

namespace vantel::detail {

// Offsets, lines and columns come from callers as any std::int64_t; one past
// the last of them, distances between them, and the numbers of the lines
// around one of them are computed in a wider type.
__extension__ typedef __int128 Wide;

// The largest and the smallest offset, line or column a caller can give.
inline constexpr std::int64_t max_offset = std::numeric_limits<std::int64_t>::max();
inline constexpr std::int64_t min_offset = std::numeric_limits<std::int64_t>::min();

// The decimal text of n: no leading zeros, a '-' when negative.
[[nodiscard]] inline std::string to_decimal(Wide n) {
  __extension__ typedef unsigned __int128 Magnitude;
  // Negating in the unsigned type is defined for every value.
  Magnitude m = n < 0 ? -static_cast<Magnitude>(n) : static_cast<Magnitude>(n);
  std::string digits;
  do {
    digits.push_back(static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  if (n < 0) digits.push_back('-');
  return std::string(digits.rbegin(), digits.rend());
}

}  // namespace vantel::detail
