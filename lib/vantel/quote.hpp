// The quote renderer: prints a highlighted quote of source lines.
#pragma once

#include "position_node.hpp"
#include "source_line.hpp"

#include <line_offsets/pages.hpp>

#include <vantel/formatter.hpp>
#include <vantel/vantel.hpp>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel::detail {

// The tag around each run of carets of a single-line quote; recognised by
// identity only.
extern const Stag Single_line_underline_tag;

using Lexing_location = std::pair<lexing_position, lexing_position>;

// Returns the lines from the one holding `first` to the one holding the
// offset just before `last.char_offset`, in input order.
using Get_lines = std::function<std::vector<source_line>(const lexing_position& first,
                                                         const lexing_position& last)>;

// Prints the quote of `locations` on `formatter`; calls `get_lines` at most
// once, and prints nothing at all when no location is non-empty.
void highlight_quote(Formatter& formatter, const Get_lines& get_lines, int max_lines,
                     const std::vector<Lexing_location>& locations);

// The same for locations resolved without file names, which the quote does
// not read; one location in each of a large list costs no page of its own.
using Resolved_location = std::pair<Resolved_position, Resolved_position>;
using Resolved_locations = std::vector<Resolved_location, Page_allocator<Resolved_location>>;
using Get_resolved_lines = std::function<std::vector<source_line>(const Resolved_position& first,
                                                                  const Resolved_position& last)>;
void highlight_quote(Formatter& formatter, const Get_resolved_lines& get_lines, int max_lines,
                     const Resolved_locations& locations);

// Rows of (left, right) texts: left right-aligned to the widest left text
// (hidden rows count), then " sep ", then right. With `max_lines`, more rows
// than that are cut to a head, a "..." row and a tail.
using Row = std::pair<std::string, std::string>;
void pp_two_columns(Formatter& formatter, const std::vector<Row>& rows,
                    std::optional<int> max_lines = std::nullopt, std::string_view sep = "|");

}  // namespace vantel::detail
