// SPDX-License-Identifier: MIT
// The quote: what pp has resolved, as a value, and the renderer that draws it.
#pragma once

#include "draw/layout_plan.hpp"
#include "input/raw_cursor.hpp"
#include "position/resolved_position.hpp"
#include "quote/iset.hpp"
#include "quote/source_line.hpp"

#include "support/pages.hpp"

#include <vantel/formatter.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantel::detail {

// The offsets that the locations cover, both ends inclusive, whose bounds
// carry the index of their position: 2 k for the start of location k, 2 k + 1
// for its end. Large sets live on huge pages.
using Bound_set = ISet<std::size_t, Page_allocator<Interval<std::size_t>>>;

// Adds the interval of location `k`, from offset `start` to offset `end`
// (exclusive), when it covers any offset that can be quoted: not when a
// position has no offset (-1), nor when the end is the smallest offset, whose
// inclusive end would not fit.
void add_location(Bound_set::Intervals& intervals, std::size_t k, std::int64_t start,
                  std::int64_t end);

// Every location resolved once: the set of offsets it covers, and each
// position as resolved, by bound (2 k start, 2 k + 1 end).
class Quote_plan {
 public:
  using Positions = std::vector<Resolved_position, Page_allocator<Resolved_position>>;

  // From the positions of every location, start then end; with points
  // shown, an empty location covers the one offset it stands at.
  Quote_plan(Positions positions, bool show_points);

  [[nodiscard]] const Bound_set& set() const noexcept { return set_; }
  [[nodiscard]] bool show_points() const noexcept { return show_points_; }
  // The position a bound stands for. The end of a point is read as one past
  // it, so that the point's line is gathered.
  [[nodiscard]] Resolved_position record(std::size_t bound) const noexcept;

 private:
  Positions positions_;
  bool show_points_;
  Bound_set set_;
};

class Quoted_lines;

// Prints the quote of `plan` on `formatter` from the lines gathered for it
// (from its first bound's line to its last one's), laid out as `layout` says.
void render_quote(Formatter& formatter, const Quote_plan& plan, const Quoted_lines& lines,
                  const Layout_plan& layout, int max_lines);

// Prints the quote of `plan` on `formatter`, reading its lines through
// `cursor`, laid out as `layout` says; prints nothing at all, and reads
// nothing, when the set is empty. Of the lines it reads, it keeps only those
// that the quote shows; it stops writing as soon as the formatter's stream
// has failed.
void print_quote(Formatter& formatter, Raw_cursor& cursor, const Quote_plan& plan,
                 const Layout_plan& layout, int max_lines);

}  // namespace vantel::detail
