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

  std::vector<detail::Lexing_location> resolved;
  resolved.reserve(locations.size());
  for (const auto& [start, end] : locations) {
    // End first, then start: a caller's cursor may observe the order.
    lexing_position e = detail::to_lexing_raw(cursor, end);
    lexing_position s = detail::to_lexing_raw(cursor, start);
    resolved.emplace_back(std::move(s), std::move(e));
  }

  const detail::Get_lines get_lines = [&cursor](const lexing_position& first,
                                                const lexing_position& last) {
    return detail::lines_around(first, last, cursor);
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
