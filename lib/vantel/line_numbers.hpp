// Line numbers of the quoted lines, completed from the few that the
// highlighted bounds give.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Numbers every element consecutively from the first known number, when
// all known numbers agree with that; otherwise returns the list unchanged.
template <class Payload>
[[nodiscard]] std::vector<std::pair<std::optional<Line_number>, Payload>> infer_line_numbers(
    std::vector<std::pair<std::optional<Line_number>, Payload>> list) {
  std::optional<Line_number> base;
  bool consistent = true;
  Line_number c = 0;
  for (const auto& element : list) {
    if (const auto& n = element.first) {
      if (!base)
        base = *n - c;
      else
        consistent = consistent && *n == *base + c;
    }
    ++c;
  }
  if (!base || !consistent) return list;
  c = 0;
  for (auto& element : list) element.first = *base + c++;
  return list;
}

}  // namespace vantel::detail
