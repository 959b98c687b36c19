// Line numbers of the quoted lines, completed from the few that the
// highlighted bounds give.
#pragma once

#include "support/wide_integer.hpp"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantel::detail {

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
