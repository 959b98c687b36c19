// SPDX-License-Identifier: MIT
// A report's path drawn with its labels: each event a secondary label
// numbered in the path's order.
#pragma once

#include <vantel/report.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantel::detail {

// The labels of `report`, then its first `max_events` events (all when 0 or
// less) as labels "(1) message"; an event `depth` calls deep is marked
// with as many '>' before its message.
[[nodiscard]] inline std::vector<Label> labels_with_path(const Report& report,
                                                         std::int64_t max_events) {
  std::vector<Label> labels = report.labels;
  const std::size_t shown =
      max_events > 0 && static_cast<std::size_t>(max_events) < report.path.size()
          ? static_cast<std::size_t>(max_events)
          : report.path.size();
  for (std::size_t k = 0; k < shown; ++k) {
    const Path_event& event = report.path[k];
    std::string text = "(" + std::to_string(k + 1) + ") ";
    if (event.depth > 0)
      text +=
          std::string(static_cast<std::size_t>(std::min<std::int64_t>(event.depth, 16)), '>') + ' ';
    labels.push_back(Label::secondary(event.source, event.location, text + event.message));
  }
  return labels;
}

}  // namespace vantel::detail
