// A 128-bit signed integer and its decimal text.
#pragma once

#include <string>

namespace vantel::detail {

// Line numbers come from the caller's positions as any std::int64_t, and
// numbering the lines around one of them can step past either end of that
// range: hence a wider type, printed as it is.
__extension__ typedef __int128 Line_number;

// The decimal text of n: no leading zeros, a '-' when negative.
[[nodiscard]] inline std::string to_decimal(Line_number n) {
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
