// SPDX-License-Identifier: MIT
#include "export/sarif_children.hpp"

#include <algorithm>

namespace vantel::detail {

Report& Child_tree::child(std::size_t index, std::size_t depth, bool& made) {
  made = index != last_ || path_.size() == 1;
  if (!made) return *path_.back();
  last_ = index;
  // Only the new child's ancestors stay on the path, and adding to their
  // children never moves them.
  path_.resize(std::clamp<std::size_t>(depth, 1, path_.size()));
  Report& child = path_.back()->children.emplace_back();
  path_.push_back(&child);
  return child;
}

}  // namespace vantel::detail
