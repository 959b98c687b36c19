// SPDX-License-Identifier: MIT
#include "draw/shown_text.hpp"

#include "text/cluster_walk.hpp"

namespace vantel::detail {

Shown_text shown_text(std::string_view text, int tab_width) {
  Shown_text shown;
  shown.text.reserve(text.size());
  Cluster_walk walk(text, tab_width);
  Cluster cluster;
  for (;;) {
    // Plain bytes are shown as they are, a run at a time.
    const std::size_t from = walk.position();
    if (walk.skip_plain(text.size()) > 0)
      shown.text.append(text.substr(from, walk.position() - from));
    if (!walk.next(cluster)) break;
    shown.text += cluster.shown(text);
  }
  shown.width = walk.column();
  return shown;
}

std::int64_t widest_line(std::string_view text, int tab_width) {
  std::int64_t widest = 0;
  for_each_line(text, [&](std::string_view line) {
    widest = std::max(widest, shown_text(line, tab_width).width);
  });
  return widest;
}

}  // namespace vantel::detail
