// SPDX-License-Identifier: MIT
// One row of the text layout: the clusters of a line and, for an underline,
// one column per offset past its text up to the last highlighted one, cut to
// a window of display columns around the highlighted cells.
#pragma once

#include "draw/labelled_line.hpp"
#include "draw/report_part.hpp"
#include "quote/quote.hpp"
#include "quote/source_line.hpp"
#include "support/wide_integer.hpp"
#include "text/cluster_walk.hpp"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Where the window of a row of the text layout lies, and what the line
// engine draws in it.
class Text_row {
 public:
  // `past_text`: whether the offsets past the text get columns, as under
  // the line of a single-line quote. `window` is the width of a window of
  // text, 0 for none. Columns and offsets of a row are wide: an end offset of
  // INT64_MAX puts the last cell that far to the right of the text, and
  // columns add to it.
  Text_row(const Bound_set& set, const source_line& line, int tab_width, Wide window,
           bool past_text);

  // The window as the line engine draws it over `text`, and a part like
  // `like` for each highlighted interval in it, in bytes of `text`: only
  // those, so that a line of many costs no more than its window.
  [[nodiscard]] Quote_window shown(std::vector<Report_part>& parts, const Report_part& like,
                                   std::string_view& text) const;

 private:
  using Iterator = Bound_set::const_iterator;
  static constexpr Wide unlimited = max_offset;

  [[nodiscard]] Wide offset_of(std::size_t byte) const noexcept {
    return Wide{start_} + static_cast<Wide>(byte);
  }
  // The first interval ending at or after `offset`, searching from `hint`.
  [[nodiscard]] Iterator reaching(Wide offset, Iterator hint) const;
  // Whether a cluster is highlighted, and the first and last intervals it
  // touches; `hint` moves along.
  bool touches(const Cluster& c, Iterator& hint, Iterator& last) const;

  // A cluster start, to resume a walk from.
  struct Mark {
    std::size_t byte = 0;
    std::int64_t column = 0;
  };
  [[nodiscard]] Mark text_start() const noexcept { return {0, column_}; }
  // What the walk to the window found.
  struct Reach {
    // The last two cluster starts taken a window's width apart before the
    // first highlighted cell: where to resume a walk close before the window.
    Mark recent;
    Mark older;
    std::optional<Wide> lit_end;         // the end column of the last highlighted cell seen
    Wide first_end = 0;                  // the end column of the first highlighted cell
    std::optional<std::size_t> stopped;  // the byte where the walk stopped short of the end
    Wide width = 0;                      // the row's, when the walk reached its end
  };

  void find_window();
  Reach walk_to_window();
  void reach_end(Reach& reach, Wide text_width, Iterator hint);
  void skip_to(Cluster_walk& walk, Wide offset) const;
  void open_window(Wide target, Wide least_end, std::optional<Wide> keep_until, const Reach& reach);
  // The offset after the last highlighted cell past the text that the
  // window shows, or `from` for none.
  [[nodiscard]] Wide past_end(Wide from, Wide to) const;
  Wide walk_window(std::size_t& end_byte, bool& cut) const;

  const Bound_set& set_;
  std::string_view text_;
  std::int64_t start_;
  std::int64_t column_;  // of the text's first byte: not 0 for a slice of a line
  std::int64_t rest_;    // bytes of the line past the slice
  int tab_width_;
  Wide max_width_;

  Wide past_count_ = 0;            // columns past the text
  std::optional<Wide> first_lit_;  // the column of the first highlighted cell
  std::optional<Wide> last_lit_;   // the offset of the last highlighted cell
  std::size_t from_byte_ = 0;      // where the window's first cluster starts
  std::int64_t from_column_ = 0;
  Wide first_column_ = 0;   // the window's first column
  Wide limit_ = unlimited;  // one past its last column
};

}  // namespace vantel::detail
