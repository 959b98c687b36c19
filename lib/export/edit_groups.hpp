// SPDX-License-Identifier: MIT
// A fix's edits by the source they change, as exported formats group them.
#pragma once

#include <vantel/fix.hpp>

#include <utility>
#include <vector>

namespace vantel::detail {

// The sources of `fix`'s edits in the order first met, each with its edits
// in order. Sources are one when their inputs are one and their names equal.
[[nodiscard]] inline std::vector<std::pair<const Source*, std::vector<const Edit*>>> edit_groups(
    const Fix& fix) {
  std::vector<std::pair<const Source*, std::vector<const Edit*>>> groups;
  for (const Edit& edit : fix.edits) {
    auto group = groups.begin();
    while (group != groups.end() && !(group->first->input.same_as(edit.source.input) &&
                                      group->first->name == edit.source.name))
      ++group;
    if (group == groups.end()) group = groups.insert(groups.end(), {&edit.source, {}});
    group->second.push_back(&edit);
  }
  return groups;
}

}  // namespace vantel::detail
