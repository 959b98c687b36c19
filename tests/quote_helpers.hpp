// Rendering a quote the way pp does, from positions already resolved.
#pragma once

#include "position/resolved_position.hpp"
#include "quote/quote.hpp"

#include <cstddef>
#include <utility>
#include <vector>

namespace test {

using Resolved_location =
    std::pair<vantel::detail::Resolved_position, vantel::detail::Resolved_position>;

// Builds the bound set and the record that pp builds for `locations`, and
// quotes it with `get_lines`.
inline void highlight_quote(vantel::Formatter& f, const vantel::detail::Get_lines& get_lines,
                            int max_lines, const std::vector<Resolved_location>& locations) {
  vantel::detail::Bound_set::Intervals intervals;
  for (std::size_t k = 0; k < locations.size(); ++k)
    vantel::detail::add_location(intervals, k, locations[k].first.char_offset,
                                 locations[k].second.char_offset);
  const auto set = vantel::detail::Bound_set::of_intervals(std::move(intervals));
  const vantel::detail::Record_of record = [&locations](std::size_t bound) {
    const Resolved_location& location = locations[bound / 2];
    return bound % 2 == 0 ? location.first : location.second;
  };
  vantel::detail::highlight_quote(f, get_lines, max_lines, set, record);
}

}  // namespace test
