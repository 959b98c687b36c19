// SPDX-License-Identifier: MIT
// A stable sort that leaves a range of one element alone: the standard one
// allocates a buffer even then, and most lines carry a single label.
#pragma once

#include <algorithm>
#include <iterator>

namespace vantel::detail {

template <class Iterator, class Less>
void stable_sort_range(Iterator first, Iterator last, Less less) {
  if (std::distance(first, last) > 1) std::stable_sort(first, last, less);
}

}  // namespace vantel::detail
