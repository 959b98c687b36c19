// SPDX-License-Identifier: MIT
#include "draw/report_part.hpp"

#include "support/wide_integer.hpp"
#include "text/cluster_walk.hpp"

#include <algorithm>

namespace vantel::detail {

namespace {

// The bytes whose columns the parts need, in ascending order.
void queries_of(std::vector<Report_part>& parts, std::vector<Column_query>& queries) {
  queries.clear();
  for (Report_part& p : parts) {
    if (p.kind != Report_part::Kind::Single) {
      queries.push_back({p.begin, &p.column, &p.column_end});
    } else if (p.end > p.begin) {
      queries.push_back({p.begin, &p.column, &p.first_cell_end});
      queries.push_back({p.end - 1, nullptr, &p.column_end});
    } else {
      queries.push_back({p.begin, &p.column, nullptr});
    }
  }
  std::sort(queries.begin(), queries.end(),
            [](const Column_query& a, const Column_query& b) { return a.byte < b.byte; });
}

// The column of a byte `past` bytes after a text `width` columns wide: the
// one after the text, or one per byte. An underline may run to the last
// offset there is: its columns stop short of overflowing.
std::int64_t column_past(std::int64_t width, std::size_t past, bool per_byte) noexcept {
  if (!per_byte) return width;
  return static_cast<std::int64_t>(std::min<Wide>(Wide{width} + past, max_offset - 1));
}

}  // namespace

std::int64_t place_parts(std::string_view text, int tab_width, std::vector<Report_part>& parts,
                         std::vector<Column_query>& queries, bool column_per_offset) {
  queries_of(parts, queries);

  // Printable ASCII takes a column a byte: runs of it are stepped over, not
  // cut into clusters.
  Cluster_walk walk(text, tab_width);
  Cluster cluster;
  bool have = false;
  bool ended = false;
  std::size_t q = 0;
  for (; q < queries.size(); ++q) {
    const std::size_t byte = queries[q].byte;
    while (!ended && (!have || cluster.end <= byte)) {
      walk.skip_plain(byte);
      have = walk.next(cluster);
      ended = !have;
    }
    if (ended) break;
    if (queries[q].first != nullptr) *queries[q].first = cluster.column;
    if (queries[q].last != nullptr) *queries[q].last = cluster.column + cluster.width;
  }
  while (!ended) {
    walk.skip_plain(text.size());
    ended = !walk.next(cluster);
  }
  const std::int64_t width = walk.column();
  for (; q < queries.size(); ++q) {
    const std::int64_t column =
        column_past(width, queries[q].byte - text.size(), column_per_offset);
    if (queries[q].first != nullptr) *queries[q].first = column;
    if (queries[q].last != nullptr) *queries[q].last = column + 1;
  }
  // A point is one column wide.
  for (Report_part& p : parts) {
    if (p.kind == Report_part::Kind::Single && p.end <= p.begin) p.column_end = p.column + 1;
    if (p.kind != Report_part::Kind::Single || p.end <= p.begin) p.first_cell_end = p.column_end;
  }
  return width;
}

}  // namespace vantel::detail
