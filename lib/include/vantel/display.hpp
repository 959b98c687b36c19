// SPDX-License-Identifier: MIT
// The layout options that vantel::Layout replaces.
#pragma once

#include <vantel/layout.hpp>

#include <cstdint>

namespace vantel {

/// Layout options of a quote, as before vantel::Layout: `max_width` counts
/// the columns of text alone, the line number and the cut markers not
/// counted. Deprecated: use vantel::Layout, whose `width` is the whole row's.
struct [[deprecated("use vantel::Layout")]] Display {
  /// The same as Layout::Columns.
  using Columns = Layout::Columns;
  /// The layout: bytes unless the text layout is asked for.
  Columns columns = Columns::Bytes;
  /// Text layout: columns between tab stops, 1 to 64.
  int tab_width = default_tab_width;
  /// Text layout: the most display columns of text on a row, the line
  /// number and the cut markers not counted; 0 for no limit.
  std::int64_t max_width = 0;
  /// An empty location is drawn as one caret at its place.
  bool show_points = false;
};

}  // namespace vantel
