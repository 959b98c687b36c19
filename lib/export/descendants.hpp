// SPDX-License-Identifier: MIT
// A report's children, at every depth, as exported formats list them.
#pragma once

#include <vantel/report.hpp>

#include <cstddef>
#include <vector>

namespace vantel::detail {

// A descendant and how deep it stands: 1 for a child, 2 for its children.
struct Descendant {
  const Report* report;
  std::size_t depth;
};

// The children of `report`, their children after each, depth first in
// order; `report` itself left out. A loop, not recursion, so that nesting as
// deep as a host builds it costs no stack.
[[nodiscard]] inline std::vector<Descendant> nested_descendants(const Report& report) {
  std::vector<Descendant> out;
  std::vector<Descendant> pending;
  for (auto it = report.children.rbegin(); it != report.children.rend(); ++it)
    pending.push_back({&*it, 1});
  while (!pending.empty()) {
    const Descendant child = pending.back();
    pending.pop_back();
    out.push_back(child);
    const std::vector<Report>& children = child.report->children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      pending.push_back({&*it, child.depth + 1});
  }
  return out;
}

// nested_descendants without their depths.
[[nodiscard]] inline std::vector<const Report*> descendants(const Report& report) {
  std::vector<const Report*> out;
  for (const Descendant& d : nested_descendants(report)) out.push_back(d.report);
  return out;
}

}  // namespace vantel::detail
