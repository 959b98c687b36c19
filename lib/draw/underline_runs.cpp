// SPDX-License-Identifier: MIT
#include "draw/underline_runs.hpp"
#include "support/stable_sort.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace vantel::detail {

namespace {

void open_or_close(Line_lists& lists, std::int64_t edge) {
  if (edge < 0) {
    lists.open[static_cast<std::size_t>(-edge - 1)] = 0;
    return;
  }
  lists.open[static_cast<std::size_t>(edge - 1)] = 1;
  lists.on_top.push_back(static_cast<std::size_t>(edge - 1));
  std::push_heap(lists.on_top.begin(), lists.on_top.end());
}

// The latest part drawn that is still open; null for none.
const Report_part* top_part(Line_lists& lists) {
  auto& heap = lists.on_top;
  while (!heap.empty() && lists.open[heap.front()] == 0) {
    std::pop_heap(heap.begin(), heap.end());
    heap.pop_back();
  }
  return heap.empty() ? nullptr : lists.drawn[heap.front()];
}

}  // namespace

void lift_overlapping(std::vector<Report_part*>& singles, std::vector<Report_part*>& lifted,
                      std::int64_t to) {
  lifted.clear();
  if (singles.size() < 2) return;  // most lines
  // Per marker (a line has few), the end of the parts kept and the columns
  // of the last one: a part over the same columns hides no end, and stays.
  struct Kept {
    char marker;
    std::int64_t end;
    std::int64_t column;
    std::int64_t column_end;
  };
  std::array<Kept, 8> by_marker{};
  std::size_t markers = 0;
  std::size_t kept = 0;
  for (Report_part* p : singles) {
    const std::int64_t end = std::min(p->column_end, to);
    std::size_t m = 0;
    while (m < markers && by_marker[m].marker != p->marker) ++m;
    if (m == markers && markers < by_marker.size()) by_marker[markers++] = {p->marker, 0, -1, -1};
    if (m < markers) {
      Kept& k = by_marker[m];
      if (k.end > p->column && (k.column != p->column || k.column_end != end)) {
        lifted.push_back(p);
        continue;
      }
      k = {p->marker, std::max(k.end, end), p->column, end};
    }
    singles[kept++] = p;
  }
  singles.resize(kept);
}

void fill_underline_runs(const std::vector<Report_part*>& singles, std::int64_t to,
                         Line_lists& lists) {
  const auto clip = [to](std::int64_t column) { return std::min(column, to); };
  auto& drawn = lists.drawn;
  drawn.assign(singles.begin(), singles.end());
  stable_sort_range(drawn.begin(), drawn.end(), [&](const Report_part* a, const Report_part* b) {
    const std::int64_t wa = clip(a->column_end) - a->column;
    const std::int64_t wb = clip(b->column_end) - b->column;
    if (wa != wb) return wa > wb;
    return !a->primary && b->primary;
  });
  // A part drawn later covers those before it: the latest open one shows.
  auto& edges = lists.edges;
  edges.clear();
  for (std::size_t k = 0; k < drawn.size(); ++k) {
    const auto n = static_cast<std::int64_t>(k) + 1;
    if (drawn[k]->column >= clip(drawn[k]->column_end)) continue;
    edges.emplace_back(drawn[k]->column, n);
    edges.emplace_back(clip(drawn[k]->column_end), -n);
  }
  std::sort(edges.begin(), edges.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  lists.runs.clear();
  lists.on_top.clear();
  lists.open.assign(drawn.size(), 0);
  for (std::size_t e = 0; e < edges.size();) {
    const std::int64_t column = edges[e].first;
    for (; e < edges.size() && edges[e].first == column; ++e) open_or_close(lists, edges[e].second);
    const Report_part* shown = top_part(lists);
    if (shown == nullptr || e == edges.size()) continue;
    if (!lists.runs.empty() && lists.runs.back().part == shown && lists.runs.back().to == column)
      lists.runs.back().to = edges[e].first;
    else
      lists.runs.push_back({column, edges[e].first, shown});
  }
}

}  // namespace vantel::detail
