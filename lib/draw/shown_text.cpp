// SPDX-License-Identifier: MIT
#include "draw/shown_text.hpp"

#include "text/cluster_walk.hpp"

namespace vantel::detail {

namespace {

// `text` shown cluster by cluster: for one that is not all printable ASCII.
Shown_text walked(std::string_view text, int tab_width) {
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

}  // namespace

Shown_text shown_text(std::string_view text, int tab_width) {
  // Most messages and names: shown as they are, a column a byte.
  if (all_printable_ascii(text)) return {std::string(text), static_cast<std::int64_t>(text.size())};
  return walked(text, tab_width);
}

std::int64_t widest_line(std::string_view text, int tab_width) {
  std::int64_t widest = 0;
  for_each_line(text, [&](std::string_view line) {
    const std::int64_t width = all_printable_ascii(line) ? static_cast<std::int64_t>(line.size())
                                                         : walked(line, tab_width).width;
    widest = std::max(widest, width);
  });
  return widest;
}

}  // namespace vantel::detail
