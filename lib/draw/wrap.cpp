#include "draw/wrap.hpp"

#include "text/cluster_walk.hpp"

#include <cstddef>

namespace vantel::detail {

namespace {

struct Cell {
  std::size_t begin;
  std::size_t end;
  std::int64_t column;
  std::int64_t width;
};

}  // namespace

std::vector<Piece> wrap_shown(std::string_view shown, std::int64_t width, std::int64_t room) {
  if (room <= 0 || width <= room) return {{shown, width}};
  // A shown text holds no tab, so the walk's tab width plays no part.
  std::vector<Cell> cells;
  Cluster_walk walk(shown, 1);
  for (Cluster c; walk.next(c);) cells.push_back({c.begin, c.end, c.column, c.width});
  const auto space = [&](std::size_t i) {
    return cells[i].end == cells[i].begin + 1 && shown[cells[i].begin] == ' ';
  };
  const auto piece = [&](std::size_t from, std::size_t to) {
    return Piece{shown.substr(cells[from].begin, cells[to - 1].end - cells[from].begin),
                 cells[to - 1].column + cells[to - 1].width - cells[from].column};
  };
  std::vector<Piece> pieces;
  std::size_t i = 0;
  while (i < cells.size()) {
    // A piece after a break starts after its spaces.
    while (!pieces.empty() && i < cells.size() && space(i)) ++i;
    if (i == cells.size()) break;
    const std::size_t start = i;
    std::size_t last_space = start;
    std::size_t j = start;
    for (; j < cells.size() &&
           (j == start || cells[j].column + cells[j].width - cells[start].column <= room);
         ++j)
      if (space(j)) last_space = j;
    if (j == cells.size()) {
      pieces.push_back(piece(start, j));
      break;
    }
    // A piece that ends right before a space breaks there.
    if (space(j)) last_space = j;
    std::size_t end = last_space > start ? last_space : j;
    while (end > start + 1 && space(end - 1)) --end;
    pieces.push_back(piece(start, end));
    i = last_space > start ? last_space + 1 : j;
  }
  return pieces;
}

}  // namespace vantel::detail
