#include "input/opening.hpp"
#include "position/resolve.hpp"
#include "quote/lines_around.hpp"
#include "quote/quote.hpp"
#include "text/cluster_walk.hpp"
#include "text/layout_limits.hpp"

#include <vantel/pp.hpp>

#include <limits>
#include <stdexcept>
#include <string>

namespace vantel {
namespace {

void check(const Display& display) {
  detail::check_tab_width(display.tab_width, "vantel::pp");
  detail::check_max_width(display.max_width, "vantel::pp");
}

// The intervals straight away: resolved positions are not kept, only the
// offsets the set needs and where each bound came from.
detail::Bound_set bound_set(detail::Raw_cursor& cursor, const std::vector<Location>& locations,
                            bool show_points) {
  detail::Bound_set::Intervals intervals;
  intervals.reserve(locations.size());
  for (std::size_t k = 0; k < locations.size(); ++k) {
    // End first, then start: a caller's cursor may observe the order.
    const std::int64_t e = detail::resolve_raw(cursor, locations[k].second).char_offset;
    const std::int64_t s = detail::resolve_raw(cursor, locations[k].first).char_offset;
    // A point covers the one offset it stands at.
    if (show_points && s == e && s != -1)
      intervals.push_back({{2 * k, s}, {2 * k + 1, s}});
    else
      detail::add_location(intervals, k, s, e);
  }
  return detail::Bound_set::of_intervals(std::move(intervals));
}

// The position a bound stands for. The end of a point is read as one past
// it, so that the point's line is gathered.
detail::Resolved_position record_of(detail::Raw_cursor& cursor,
                                    const std::vector<Location>& locations, std::size_t bound,
                                    bool show_points) {
  const Location& location = locations[bound / 2];
  detail::Resolved_position p =
      detail::resolve_raw(cursor, bound % 2 == 0 ? location.first : location.second);
  if (show_points && bound % 2 == 1 && p.char_offset < std::numeric_limits<std::int64_t>::max() &&
      detail::resolve_raw(cursor, location.first).char_offset == p.char_offset)
    ++p.char_offset;
  return p;
}

// The quoted lines. A point at the end of a text that ends with a line feed
// stands on the empty line after it, which holds no byte to read: with
// points shown, that line is given empty.
void gather(detail::Raw_cursor& cursor, const detail::Resolved_position& first,
            const detail::Resolved_position& last, const detail::Line_sink& sink,
            bool show_points) {
  if (!show_points) {
    detail::lines_around(first.line_start, last.char_offset, cursor, sink);
    return;
  }
  bool any = false;
  detail::lines_around(first.line_start, last.char_offset, cursor,
                       [&sink, &any](detail::source_line& line) {
                         any = true;
                         sink(line);
                       });
  if (!any && first.line_start >= 0 && first.line_start < last.char_offset) {
    detail::source_line empty{std::string(), first.line_start};
    sink(empty);
  }
}

}  // namespace

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines) {
  pp(input, formatter, locations, Display{}, max_lines);
}

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        const Display& display, int max_lines) {
  check(display);
  detail::Opening opened(input);
  detail::Raw_cursor& cursor = opened.cursor();
  const detail::Bound_set set = bound_set(cursor, locations, display.show_points);

  // Resolving again asks nothing new of the cursor: its line table, where
  // needed, was computed above and is kept.
  const detail::Record_of record = [&cursor, &locations, &display](std::size_t bound) {
    return record_of(cursor, locations, bound, display.show_points);
  };
  const detail::Get_lines get_lines = [&cursor, &display](const detail::Resolved_position& first,
                                                          const detail::Resolved_position& last,
                                                          const detail::Line_sink& sink) {
    gather(cursor, first, last, sink, display.show_points);
  };
  detail::highlight_quote(formatter, get_lines, max_lines, set, record, display);
  opened.close();
}

Printer pp(Input input, int max_lines) {
  return [input = std::move(input), max_lines](Formatter& formatter,
                                               const std::vector<Location>& locations) {
    pp(input, formatter, locations, max_lines);
  };
}

Printer pp(Input input, const Display& display, int max_lines) {
  return [input = std::move(input), display, max_lines](Formatter& formatter,
                                                        const std::vector<Location>& locations) {
    pp(input, formatter, locations, display, max_lines);
  };
}

}  // namespace vantel
