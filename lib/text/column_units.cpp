// SPDX-License-Identifier: MIT
#include "text/column_units.hpp"

#include "text/cluster_walk.hpp"
#include "text/code_point.hpp"

namespace vantel::detail {

namespace {

// A character, or a cluster in display columns: its bytes and the columns
// it counts.
struct Step {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::int64_t units = 0;
};

class Unit_walk {
 public:
  Unit_walk(std::string_view line, Column_unit unit, int tab_width) noexcept
      : line_(line), unit_(unit), tab_width_(tab_width), clusters_(line, tab_width) {}

  bool next(Step& step) noexcept {
    if (unit_ == Column_unit::Display) return next_cluster(step);
    if (at_ >= line_.size()) return false;
    std::size_t length = 1;
    std::int64_t units = 1;
    // ASCII is one unit of every kind: no decoding call for most source text.
    if (unit_ != Column_unit::Bytes && static_cast<unsigned char>(line_[at_]) >= 0x80) {
      const Code_point c = decode(line_, at_);
      length = c.length;
      if (unit_ == Column_unit::Utf16) units = static_cast<std::int64_t>(c.utf16_units());
    }
    step = {at_, at_ + length, units};
    at_ += length;
    return true;
  }

 private:
  bool next_cluster(Step& step) noexcept {
    Cluster c;
    if (!clusters_.next(c)) return false;
    step = {c.begin, c.end, c.width};
    if (c.kind == Cluster_kind::Escaped) {
      // An editor shows one stand-in where a quote spells out an escaped
      // form; the tab stops after it count from there.
      step.units = 1;
      clusters_ = Cluster_walk(line_, tab_width_, c.end, c.column + 1);
    }
    return true;
  }

  std::string_view line_;
  Column_unit unit_;
  int tab_width_;
  std::size_t at_ = 0;
  Cluster_walk clusters_;
};

}  // namespace

std::size_t byte_of_column(std::string_view line, std::int64_t col, Column_unit unit,
                           int tab_width) noexcept {
  if (col <= 1) return 0;
  const std::int64_t wanted = col - 1;  // columns before it
  Unit_walk walk(line, unit, tab_width);
  Step step;
  std::int64_t before = 0;
  while (walk.next(step)) {
    if (wanted < before + step.units) return step.begin;
    before += step.units;
  }
  return line.size();
}

std::int64_t column_of_byte(std::string_view line, std::size_t at, Column_unit unit,
                            int tab_width) noexcept {
  Unit_walk walk(line, unit, tab_width);
  Step step;
  std::int64_t before = 0;
  while (walk.next(step)) {
    if (at < step.end) return before + 1;
    before += step.units;
  }
  return before + 1;
}

}  // namespace vantel::detail
