// Texts of a report other than source lines (messages, names, notes), shown
// with the display geometry of a line.
#pragma once

#include "draw/row_writer.hpp"

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

}  // namespace vantel::detail
