#include "input/opening.hpp"
#include "position/resolve.hpp"
#include "quote/lines_around.hpp"
#include "quote/quote.hpp"

#include <vantel/pp.hpp>

namespace vantel {

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines) {
  detail::Opening opened(input);
  detail::Raw_cursor& cursor = opened.cursor();

  // The intervals straight away: resolved positions are not kept, only the
  // offsets the set needs and where each bound came from.
  detail::Bound_set::Intervals intervals;
  intervals.reserve(locations.size());
  for (std::size_t k = 0; k < locations.size(); ++k) {
    // End first, then start: a caller's cursor may observe the order.
    const std::int64_t e = detail::resolve_raw(cursor, locations[k].second).char_offset;
    const std::int64_t s = detail::resolve_raw(cursor, locations[k].first).char_offset;
    detail::add_location(intervals, k, s, e);
  }
  const detail::Bound_set set = detail::Bound_set::of_intervals(std::move(intervals));

  // Resolving again asks nothing new of the cursor: its line table, where
  // needed, was computed above and is kept.
  const detail::Record_of record = [&cursor, &locations](std::size_t bound) {
    const Location& location = locations[bound / 2];
    return detail::resolve_raw(cursor, bound % 2 == 0 ? location.first : location.second);
  };
  const detail::Get_lines get_lines = [&cursor](const detail::Resolved_position& first,
                                                const detail::Resolved_position& last,
                                                const detail::Line_sink& sink) {
    detail::lines_around(first.line_start, last.char_offset, cursor, sink);
  };
  detail::highlight_quote(formatter, get_lines, max_lines, set, record);
  opened.close();
}

Printer pp(Input input, int max_lines) {
  return [input = std::move(input), max_lines](Formatter& formatter,
                                               const std::vector<Location>& locations) {
    pp(input, formatter, locations, max_lines);
  };
}

}  // namespace vantel
