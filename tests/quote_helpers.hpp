// Rendering a quote the way pp does, from positions already resolved.
#pragma once

#include "position/resolved_position.hpp"
#include "quote/quote.hpp"

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace test {

using Resolved_location =
    std::pair<vantel::detail::Resolved_position, vantel::detail::Resolved_position>;

// The lines that a test's get_lines answers, all at once.
using Lines_of = std::function<std::vector<vantel::detail::source_line>(
    const vantel::detail::Resolved_position&, const vantel::detail::Resolved_position&)>;

// Builds the bound set and the record that pp builds for `locations`, and
// quotes it with the lines that `lines_of` answers, given one at a time.
inline void highlight_quote(vantel::Formatter& f, const Lines_of& lines_of, int max_lines,
                            const std::vector<Resolved_location>& locations) {
  vantel::detail::Bound_set::Intervals intervals;
  for (std::size_t k = 0; k < locations.size(); ++k)
    vantel::detail::add_location(intervals, k, locations[k].first.char_offset,
                                 locations[k].second.char_offset);
  const auto set = vantel::detail::Bound_set::of_intervals(std::move(intervals));
  const vantel::detail::Record_of record = [&locations](std::size_t bound) {
    const Resolved_location& location = locations[bound / 2];
    return bound % 2 == 0 ? location.first : location.second;
  };
  const vantel::detail::Get_lines get_lines = [&lines_of](
                                                  const vantel::detail::Resolved_position& first,
                                                  const vantel::detail::Resolved_position& last,
                                                  const vantel::detail::Line_sink& sink) {
    for (vantel::detail::source_line line : lines_of(first, last)) sink(line);
  };
  vantel::detail::highlight_quote(f, get_lines, max_lines, set, record);
}

}  // namespace test
