// SPDX-License-Identifier: MIT
#include "draw/wrap.hpp"

#include "text/cluster_walk.hpp"

#include <cstddef>
#include <utility>

namespace vantel::detail {

namespace {

struct Cell {
  std::size_t begin;
  std::size_t end;
  std::int64_t column;
  std::int64_t width;
};

// The cells of a shown text, which holds no tab: the walk's tab width plays
// no part.
class Cells {
 public:
  explicit Cells(std::string_view shown) : shown_(shown) {
    Cluster_walk walk(shown, 1);
    for (Cluster c; walk.next(c);) cells_.push_back({c.begin, c.end, c.column, c.width});
  }
  [[nodiscard]] std::size_t size() const noexcept { return cells_.size(); }
  [[nodiscard]] bool space(std::size_t i) const noexcept {
    return cells_[i].end == cells_[i].begin + 1 && shown_[cells_[i].begin] == ' ';
  }
  // Columns from the start of cell `from` to the end of cell `last`.
  [[nodiscard]] std::int64_t span(std::size_t from, std::size_t last) const noexcept {
    return cells_[last].column + cells_[last].width - cells_[from].column;
  }
  [[nodiscard]] Piece piece(std::size_t from, std::size_t to) const noexcept {
    return {shown_.substr(cells_[from].begin, cells_[to - 1].end - cells_[from].begin),
            span(from, to - 1)};
  }

 private:
  std::string_view shown_;
  std::vector<Cell> cells_;
};

// Where the piece from cell `start` ends, and where the next one starts:
// after the last space that fits, else after the word that does not.
std::pair<std::size_t, std::size_t> break_after(const Cells& cells, std::size_t start,
                                                std::int64_t room) {
  std::size_t last_space = start;
  std::size_t j = start + 1;
  for (; j < cells.size() && cells.span(start, j) <= room; ++j)
    if (cells.space(j)) last_space = j;
  if (j == cells.size()) return {j, j};
  // A piece that ends right before a space breaks there.
  if (cells.space(j)) last_space = j;
  if (last_space == start) {
    while (j < cells.size() && !cells.space(j)) ++j;
    return {j, j};
  }
  std::size_t end = last_space;
  while (end > start + 1 && cells.space(end - 1)) --end;
  return {end, last_space + 1};
}

}  // namespace

std::vector<Piece> wrap_shown(std::string_view shown, std::int64_t width, std::int64_t room) {
  if (room <= 0 || width <= room) return {{shown, width}};
  const Cells cells(shown);
  std::vector<Piece> pieces;
  std::size_t i = 0;
  while (i < cells.size()) {
    // A piece after a break starts after its spaces.
    while (!pieces.empty() && i < cells.size() && cells.space(i)) ++i;
    if (i == cells.size()) break;
    const auto [end, next] = break_after(cells, i, room);
    pieces.push_back(cells.piece(i, end));
    i = next;
  }
  return pieces;
}

}  // namespace vantel::detail
