// SPDX-License-Identifier: MIT
// The display geometry of one line: its grapheme clusters, in order, each
// with its bytes, the columns it takes on a terminal and the text that
// stands for it there.
#pragma once

#include "text/escaped_form.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// The widest tab stop a walk accepts.
inline constexpr int max_tab_width = 64;

enum class Cluster_kind : unsigned char {
  Text,     // shown as its own bytes
  Tab,      // shown as spaces up to the next tab stop
  Escaped,  // shown as its escaped form: one byte or one code point
};

struct Cluster {
  std::size_t begin = 0;    // its first byte in the line
  std::size_t end = 0;      // one past its last byte
  std::int64_t column = 0;  // the display column where it starts, from 0
  std::int64_t width = 0;   // display columns; at least 1
  Cluster_kind kind = Cluster_kind::Text;
  std::int64_t code_points = 0;  // an invalid byte counts as one
  std::int64_t utf16_units = 0;  // an invalid byte counts as one
  Escaped_form escaped;          // when kind is escaped

  // What a terminal is given for it: valid UTF-8 without controls.
  [[nodiscard]] std::string_view shown(std::string_view line) const noexcept;
};

// Whether every byte of `text` is printable ASCII, so that each is a
// cluster of one column and is shown as it is.
[[nodiscard]] bool all_printable_ascii(std::string_view text) noexcept;

// Walks a line cluster by cluster. Clusters follow the extended grapheme
// cluster rules, except that a tab and anything escaped always stand alone.
// A cluster is as wide as its first code point, and 2 when it asks for emoji
// presentation (U+FE0F) or pairs two regional indicators (a flag). A code
// point that takes no column where a cluster would begin is escaped, so that
// every cluster has a column a caret can stand under.
//
// Costs a few operations per byte on ASCII text, one decoding step per code
// point elsewhere; allocates nothing.
class Cluster_walk {
 public:
  // From byte `from` of the line, which stands at display column `column`
  // (tab stops count from column 0). `tab_width` must be 1 to max_tab_width.
  Cluster_walk(std::string_view line, int tab_width, std::size_t from = 0,
               std::int64_t column = 0) noexcept
      : line_(line), tab_width_(tab_width), position_(from), column_(column) {}

  // The next cluster; false at the end of the line.
  [[nodiscard]] bool next(Cluster& cluster) noexcept;

  // Steps over clusters that are each one printable ASCII byte, up to byte
  // `limit` at most, without yielding them: they take a column each. Returns
  // how many it stepped over. For finding a place in a long line quickly.
  std::size_t skip_plain(std::size_t limit) noexcept;

  // Where the next cluster starts: a byte of the line and its column.
  [[nodiscard]] std::size_t position() const noexcept { return position_; }
  [[nodiscard]] std::int64_t column() const noexcept { return column_; }

 private:
  // Takes into the text cluster `c`, which began with `first`, the code
  // points that the break rules join to it, and widens it for emoji
  // presentation and flags.
  void extend(Cluster& c, char32_t first) noexcept;

  std::string_view line_;
  int tab_width_;
  std::size_t position_;
  std::int64_t column_;
};

}  // namespace vantel::detail
