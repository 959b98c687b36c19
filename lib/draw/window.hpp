// SPDX-License-Identifier: MIT
// Which columns of a row a window of a given width shows: plain arithmetic
// on columns, for the quote's text layout and the report alike.
#pragma once

#include "support/wide_integer.hpp"

#include <optional>

namespace vantel::detail {

// What the window must show. Columns count from the start of the row.
struct Window_need {
  // The row's width, when known; a walk that stopped early knows only that
  // the row reaches past the window.
  std::optional<Wide> row_width;
  // The highlighted cells: the first one's start and end, and the end of the
  // last one, when the row has any. `last_known` is false when cells past
  // what was walked may be highlighted too.
  std::optional<Wide> first;
  Wide first_end = 0;
  Wide last_end = 0;
  bool last_known = true;
  Wide width = 1;  // the window's, at least 1
  Wide floor = 0;  // the window starts at or after this column
  // Whether the window moves left to show more text when the row ends within
  // it; a report keeps the room right of its marks for their messages.
  bool fill = true;
};

// A window of columns [from, to). It holds `width` columns, or more when the
// first highlighted cell alone is wider: that cell is always inside.
struct Window {
  Wide from = 0;
  Wide to = 0;
};

// The whole row when it fits (none); else a window that opens a quarter of
// its width before the first highlighted cell, less when the highlighted
// cells need the room, and moved left when the row ends within it and
// `fill` asks for it.
[[nodiscard]] std::optional<Window> place_window(const Window_need& need) noexcept;

}  // namespace vantel::detail
