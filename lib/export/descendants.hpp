// SPDX-License-Identifier: MIT
// A report's children, at every depth, as exported formats list them.
#pragma once

#include <vantel/report.hpp>

#include <vector>

namespace vantel::detail {

// The children of `report`, their children after each, depth first in
// order; `report` itself left out. A loop, not recursion, so that nesting as
// deep as a host builds it costs no stack.
[[nodiscard]] inline std::vector<const Report*> descendants(const Report& report) {
  std::vector<const Report*> out;
  std::vector<const Report*> pending;
  for (auto it = report.children.rbegin(); it != report.children.rend(); ++it)
    pending.push_back(&*it);
  while (!pending.empty()) {
    const Report* child = pending.back();
    pending.pop_back();
    out.push_back(child);
    for (auto it = child->children.rbegin(); it != child->children.rend(); ++it)
      pending.push_back(&*it);
  }
  return out;
}

}  // namespace vantel::detail
