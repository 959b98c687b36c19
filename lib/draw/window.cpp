// SPDX-License-Identifier: MIT
#include "draw/window.hpp"

#include <algorithm>

namespace vantel::detail {

std::optional<Window> place_window(const Window_need& need) noexcept {
  const Wide width = std::max<Wide>(need.width, 1);
  if (need.row_width && *need.row_width <= width && need.floor == 0) return std::nullopt;
  const Wide lit = need.first.value_or(need.floor);
  Wide lead = width / 4;
  if (need.first) {
    // Room for every highlighted cell when they fit, and always for the first.
    if (need.last_known && need.last_end - lit <= width)
      lead = std::min(lead, width - (need.last_end - lit));
    lead = std::max<Wide>(0, std::min(lead, width - (need.first_end - lit)));
  }
  Wide from = std::max<Wide>(need.floor, lit - lead);
  if (need.fill && need.row_width && from + width > *need.row_width &&
      (!need.first || (need.last_known && need.last_end - lit <= width)))
    from = std::max<Wide>(need.floor, *need.row_width - width);
  from = std::min(from, lit);
  Wide to = from + width;
  if (need.first) to = std::max(to, need.first_end);
  return Window{from, to};
}

}  // namespace vantel::detail
