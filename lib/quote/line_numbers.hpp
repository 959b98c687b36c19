// SPDX-License-Identifier: MIT
// Line numbers of the quoted lines, completed from the few that the
// highlighted bounds give.
#pragma once

#include "support/wide_integer.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantel::detail {

// Infers the numbers of lines taken one at a time, keeping no line: each
// line's own number, if it has one, and whether all of them agree with
// consecutive numbering from the first.
class Line_numbering {
 public:
  // Takes the own number of line `index`, counted from 0 in order.
  void add(std::int64_t index, const std::optional<Wide>& own) {
    if (!own) return;
    own_width_ = std::max(own_width_, to_decimal(*own).size());
    const Wide base = *own - index;
    if (!base_)
      base_ = base;
    else
      consistent_ = consistent_ && base == *base_;
  }

  // The number of line `index` once every line is in: counted from the
  // first known number when all agree, the line's own number otherwise.
  [[nodiscard]] std::optional<Wide> number(std::int64_t index,
                                           const std::optional<Wide>& own) const {
    if (base_ && consistent_) return *base_ + index;
    return own;
  }

  // The widest label of `count` lines, 0 when none has a number.
  [[nodiscard]] std::size_t width(std::int64_t count) const {
    if (!base_ || !consistent_ || count <= 0) return own_width_;
    // Decimal texts grow away from 0 on either side: the widest label is at
    // one end of the range.
    return std::max(to_decimal(*base_).size(), to_decimal(*base_ + count - 1).size());
  }

 private:
  std::optional<Wide> base_;
  bool consistent_ = true;
  std::size_t own_width_ = 0;
};

// Numbers every element consecutively from the first known number, when
// all known numbers agree with that; otherwise returns the list unchanged.
template <class Payload>
[[nodiscard]] std::vector<std::pair<std::optional<Wide>, Payload>> infer_line_numbers(
    std::vector<std::pair<std::optional<Wide>, Payload>> list) {
  Line_numbering numbering;
  std::int64_t c = 0;
  for (const auto& element : list) numbering.add(c++, element.first);
  c = 0;
  for (auto& element : list) element.first = numbering.number(c++, element.first);
  return list;
}

}  // namespace vantel::detail
