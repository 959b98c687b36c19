// SPDX-License-Identifier: MIT
// Texts of a report other than source lines (messages, names, notes), shown
// with the display geometry of a line.
#pragma once

#include "draw/layout_plan.hpp"
#include "draw/row_writer.hpp"
#include "draw/wrap.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// What `text` looks like on a terminal: tabs expanded from its start, and
// line feeds, controls and invalid bytes escaped; with its width in columns.
struct Shown_text {
  std::string text;
  std::int64_t width = 0;
};
[[nodiscard]] Shown_text shown_text(std::string_view text, int tab_width);

// Writes `text` as shown, in one piece enclosed in `tag`.
inline void put_shown(Row_writer& row, std::string_view text, const Stag* tag, int tab_width) {
  const Shown_text shown = shown_text(text, tab_width);
  row.put(shown.text, shown.width, tag);
}

// The width of the widest of the rows that `text` takes unwrapped: one per
// line, a final line feed ending the last rather than opening another.
[[nodiscard]] std::int64_t widest_line(std::string_view text, int tab_width);

// Calls `each` with every line of `text`, without its line feed; a final line
// feed opens no empty line, and an empty text is one empty line.
template <class Each>
void for_each_line(std::string_view text, Each&& each) {
  for (;;) {
    const std::size_t lf = text.find('\n');
    each(text.substr(0, lf));
    if (lf == std::string_view::npos || lf + 1 == text.size()) return;
    text.remove_prefix(lf + 1);
  }
}

// Writes `text` as shown from the row's column, a row per line, each cut in
// pieces that keep the row within `width` columns (one piece under
// min_wrap_width), each enclosed in `tag`; an empty line writes nothing, not even its indent.
// Before each row after the first, ends the row, has `start_row` draw its left side, and goes back
// to the column where the text began.
template <class Start_row>
void put_wrapped(Row_writer& row, std::string_view text, const Stag* tag, int tab_width,
                 std::int64_t width, Start_row&& start_row) {
  const std::int64_t indent = row.column();
  const std::int64_t room = width >= min_wrap_width ? std::max<std::int64_t>(width - indent, 1) : 0;
  bool first = true;
  const auto put_piece = [&](const Piece& piece) {
    if (!first) {
      row.end_row();
      start_row();
      row.to_column(indent);
    }
    first = false;
    if (!piece.text.empty()) row.put(piece.text, piece.width, tag);
  };
  for_each_line(text, [&](std::string_view line) {
    const Shown_text shown = shown_text(line, tab_width);
    // Most lines fit: no list of pieces is made for them.
    if (room <= 0 || shown.width <= room) {
      if (!row.failed()) put_piece({shown.text, shown.width});
      return;
    }
    for (const Piece& piece : wrap_shown(shown.text, shown.width, room)) {
      if (row.failed()) return;
      put_piece(piece);
    }
  });
}

}  // namespace vantel::detail
