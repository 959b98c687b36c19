// SPDX-License-Identifier: MIT
#include "quote/quoted_lines.hpp"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace vantel::detail {

// A cut to m >= 1 rows shows the first ceil((m-1)/2) and the last
// floor((m-1)/2); keeping m/2 and m - m/2 covers both, and every row when
// there are no more than m.
Quoted_lines::Quoted_lines(const Quote_plan& plan, int max_lines)
    : plan_(plan),
      hint_(plan.set().begin()),
      head_(std::max(max_lines / 2, 1)),
      tail_(max_lines > 0 ? max_lines - max_lines / 2 : 0) {}

void Quoted_lines::take(std::string& text, std::int64_t start, std::int64_t column,
                        std::int64_t rest) {
  const std::optional<Wide> own = own_number(text, start);
  numbering_.add(count_, own);
  if (Kept_line* kept = slot(count_)) {
    kept->own = own;
    kept->line.text.swap(text);
    kept->line.start_offset = start;
    kept->line.column = column;
    kept->line.rest = rest;
  }
  ++count_;
}

const Kept_line& Quoted_lines::at(std::int64_t index) const {
  if (index == 0) return first_;
  if (index < head_) return head_lines_[static_cast<std::size_t>(index - 1)];
  // Without a tail, the cut shows no row past the head.
  if (tail_ == 0) throw std::logic_error("a row that the quote hides was asked for");
  return tail_lines_[static_cast<std::size_t>((index - head_) % tail_)];
}

// Lines are numbered by the first bound within their text; a bound on the
// line feed, or on a carriage return before it, lies outside.
std::optional<Wide> Quoted_lines::own_number(std::string_view text, std::int64_t start) {
  if (text.empty()) return std::nullopt;
  hint_ = plan_.set().first_reaching(start, hint_);
  const auto bound = plan_.set().find_bound_in(start, last_offset_of(start, text.size()), hint_);
  if (!bound) return std::nullopt;
  return Wide{plan_.record(bound->payload).line_number};
}

Kept_line* Quoted_lines::slot(std::int64_t index) {
  if (index == 0) return &first_;
  if (index < head_) return &head_lines_.emplace_back();
  if (tail_ == 0) return nullptr;
  const auto at = static_cast<std::size_t>((index - head_) % tail_);
  if (at == tail_lines_.size()) return &tail_lines_.emplace_back();
  return &tail_lines_[at];
}

}  // namespace vantel::detail
