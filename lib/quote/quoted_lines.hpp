// SPDX-License-Identifier: MIT
// The lines of a quote as they stream past, kept only where a row shows them.
#pragma once

#include "quote/line_numbers.hpp"
#include "quote/quote.hpp"
#include "quote/source_line.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace vantel::detail {

// A line kept for the quote, with the number of the first bound within it.
struct Kept_line {
  std::optional<Wide> own;
  source_line line;
};

// Numbers every line as it comes and keeps the first ones and a ring of the
// last ones: as many as a cut to `max_lines` rows shows, and always the
// first line, which a quote of one line shows whole. Memory stays bounded by
// the rows shown, however many lines pass.
class Quoted_lines {
 public:
  Quoted_lines(const Quote_plan& plan, int max_lines);

  // Takes line number `count()` (from 0), possibly its text too, giving
  // back a kept line's old buffer to fill again.
  void take(source_line& line) { take(line.text, line.start_offset, line.column, line.rest); }
  // The same for a whole line read into `text`, which starts at `start`.
  void take(std::string& text, std::int64_t start) { take(text, start, 0, 0); }

  [[nodiscard]] std::int64_t count() const noexcept { return count_; }
  // A line that was kept: the first, or one that the cut shows.
  [[nodiscard]] const Kept_line& at(std::int64_t index) const;
  // The line's number once every line is in, if it has one.
  [[nodiscard]] std::optional<Wide> number(std::int64_t index) const {
    return numbering_.number(index, at(index).own);
  }
  // The widest label of all lines, hidden ones too.
  [[nodiscard]] std::size_t label_width() const { return numbering_.width(count_); }

 private:
  void take(std::string& text, std::int64_t start, std::int64_t column, std::int64_t rest);
  [[nodiscard]] std::optional<Wide> own_number(std::string_view text, std::int64_t start);
  [[nodiscard]] Kept_line* slot(std::int64_t index);

  const Quote_plan& plan_;
  Bound_set::const_iterator hint_;
  Line_numbering numbering_;
  std::int64_t head_;  // lines kept from the start
  std::int64_t tail_;  // lines kept from the end, in a ring
  Kept_line first_;    // apart: most quotes show one line, which then costs no allocation
  std::vector<Kept_line> head_lines_;  // the others kept from the start
  std::vector<Kept_line> tail_lines_;
  std::int64_t count_ = 0;
};

}  // namespace vantel::detail
