// The quote renderer: prints a highlighted quote of source lines.
#pragma once

#include "position/resolved_position.hpp"
#include "quote/iset.hpp"
#include "quote/source_line.hpp"

#include "support/pages.hpp"

#include <vantel/formatter.hpp>
#include <vantel/lexing_position.hpp>

#include <cstddef>
#include <cstdint>
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

// Whether a location from `start` to `end` (char offsets) covers any offset
// that can be quoted: not when a position has no offset (-1), nor when the
// end is the smallest offset, whose inclusive end would not fit.
[[nodiscard]] bool covers_offsets(std::int64_t start, std::int64_t end) noexcept;

// The same quote for a set built by the caller: the offsets that each
// location covers, both ends inclusive, whose bounds carry the index of their
// position (2 k for the start of location k, 2 k + 1 for its end). The few
// positions that the quote reads are resolved again by `record`: a list of
// locations costs no more than its intervals. Large sets live on huge pages.
using Bound_set = ISet<std::size_t, Page_allocator<Interval<std::size_t>>>;
using Record_of = std::function<Resolved_position(std::size_t bound)>;
using Get_resolved_lines = std::function<std::vector<source_line>(const Resolved_position& first,
                                                                  const Resolved_position& last)>;
void highlight_quote(Formatter& formatter, const Get_resolved_lines& get_lines, int max_lines,
                     const Bound_set& set, const Record_of& record);

// Rows of (left, right) texts: left right-aligned to the widest left text
// (hidden rows count), then " sep ", then right. With `max_lines`, more rows
// than that are cut to a head, a "..." row and a tail.
using Row = std::pair<std::string, std::string>;
void pp_two_columns(Formatter& formatter, const std::vector<Row>& rows,
                    std::optional<int> max_lines = std::nullopt, std::string_view sep = "|");

}  // namespace vantel::detail
