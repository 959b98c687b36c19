// The quote renderer: prints a highlighted quote of source lines.
#pragma once

#include "position/resolved_position.hpp"
#include "quote/iset.hpp"
#include "quote/source_line.hpp"

#include "support/pages.hpp"

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vantel::detail {

// The offsets that the locations cover, both ends inclusive, whose bounds
// carry the index of their position: 2 k for the start of location k, 2 k + 1
// for its end. The few positions that the quote reads are resolved again from
// that index, so a list of locations costs no more than its intervals. Large
// sets live on huge pages.
using Bound_set = ISet<std::size_t, Page_allocator<Interval<std::size_t>>>;

// Adds the interval of location `k`, from offset `start` to offset `end`
// (exclusive), when it covers any offset that can be quoted: not when a
// position has no offset (-1), nor when the end is the smallest offset, whose
// inclusive end would not fit.
void add_location(Bound_set::Intervals& intervals, std::size_t k, std::int64_t start,
                  std::int64_t end);

// The position a bound of the set stands for.
using Record_of = std::function<Resolved_position(std::size_t bound)>;

// Gives `sink` the lines from the one holding `first` to the one holding the
// offset just before `last.char_offset`, in input order.
using Get_lines = std::function<void(const Resolved_position& first, const Resolved_position& last,
                                     const Line_sink& sink)>;

// Prints the quote of `set` on `formatter`; calls `get_lines` at most once,
// and prints nothing at all when the set is empty. Of the lines it is given,
// it keeps only those that the quote shows; it stops writing as soon as the
// formatter's stream has failed.
void highlight_quote(Formatter& formatter, const Get_lines& get_lines, int max_lines,
                     const Bound_set& set, const Record_of& record);

}  // namespace vantel::detail
