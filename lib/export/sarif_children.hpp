// SPDX-License-Identifier: MIT
// A report's children rebuilt from the related locations that say whose
// they are: each names its child by its place among the report's
// descendants, in order, and its depth.
#pragma once

#include <vantel/report.hpp>

#include <cstddef>
#include <vector>

namespace vantel::detail {

class Child_tree {
 public:
  explicit Child_tree(Report& root) : path_{&root} {}

  // Child number `index` at `depth` (1 for the root's own children), made
  // when first met; `made` says whether it was. A child is at most one
  // level below the one before it.
  Report& child(std::size_t index, std::size_t depth, bool& made);

 private:
  std::vector<Report*> path_;  // the root, then the last child made at each depth
  std::size_t last_ = 0;
};

}  // namespace vantel::detail
