// SPDX-License-Identifier: MIT
// Texts of a report other than source lines (messages, names, notes), shown
// with the display geometry of a line.
#pragma once

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

// Writes `text` as shown from the row's column, in pieces that keep the row
// within `width` columns (0: one piece), each enclosed in `tag`. Before each
// piece after the first, ends the row, has `start_row` draw its left side,
// and goes back to the column where the text began.
template <class Start_row>
void put_wrapped(Row_writer& row, std::string_view text, const Stag* tag, int tab_width,
                 std::int64_t width, Start_row&& start_row) {
  const Shown_text shown = shown_text(text, tab_width);
  const std::int64_t indent = row.column();
  const std::vector<Piece> pieces = wrap_shown(
      shown.text, shown.width, width > 0 ? std::max<std::int64_t>(width - indent, 1) : 0);
  for (std::size_t k = 0; k < pieces.size() && !row.failed(); ++k) {
    if (k > 0) {
      row.end_row();
      start_row();
      row.to_column(indent);
    }
    row.put(pieces[k].text, pieces[k].width, tag);
  }
}

}  // namespace vantel::detail
