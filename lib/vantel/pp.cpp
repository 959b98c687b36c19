#include "lines_around.hpp"
#include "opening.hpp"
#include "position_node.hpp"
#include "quote.hpp"

#include <vantel/vantel.hpp>

namespace vantel {

void pp(const Input& input, Formatter& formatter, const std::vector<Location>& locations,
        int max_lines) {
  detail::Opening opened(input);
  detail::Raw_cursor& cursor = opened.cursor();

  detail::Resolved_locations resolved;
  resolved.reserve(locations.size());
  for (const auto& [start, end] : locations) {
    // End first, then start: a caller's cursor may observe the order.
    const detail::Resolved_position e = detail::resolve_raw(cursor, end);
    const detail::Resolved_position s = detail::resolve_raw(cursor, start);
    resolved.emplace_back(s, e);
  }

  const detail::Get_resolved_lines get_lines = [&cursor](const detail::Resolved_position& first,
                                                         const detail::Resolved_position& last) {
    return detail::lines_around(first.line_start, last.char_offset, cursor);
  };
  detail::highlight_quote(formatter, get_lines, max_lines, resolved);
  opened.close();
}

Printer pp(Input input, int max_lines) {
  return [input = std::move(input), max_lines](Formatter& formatter,
                                               const std::vector<Location>& locations) {
    pp(input, formatter, locations, max_lines);
  };
}

}  // namespace vantel
