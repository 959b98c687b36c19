// How a quote lays its text out on a terminal.
#pragma once

#include <cstdint>

namespace vantel {

/// Layout options of a quote. The default is the byte layout: every byte one
/// column, the text written as it is. The text layout follows what a terminal
/// shows: tabs expand, wide characters take two columns, controls and bytes
/// that are not UTF-8 are shown escaped, and long rows are cut to a window.
struct Display {
  /// What a column of the quote is.
  enum class Columns {
    /// One byte, the text written as it is (the default).
    Bytes,
    /// One terminal cell: the line is read as UTF-8 and cut into grapheme
    /// clusters. Each takes its display width (2 for wide and fullwidth
    /// characters and emoji, combining marks and joined sequences inside
    /// their cluster); a highlight that covers part of a cluster covers all
    /// of it. Invalid bytes, C0 controls but tab, and DEL are shown as <0xHH>;
    /// C1 controls, bidirectional controls and code points that would take no
    /// column on their own as <U+HHHH>.
    Text,
  };
  /// The layout: bytes unless the text layout is asked for.
  Columns columns = Columns::Bytes;

  /// Text layout: a tab reaches the next multiple of this many columns, in
  /// the text and under it alike. 1 to 64.
  int tab_width = 8;

  /// Text layout: the most display columns of text on a row, the line
  /// number not counted; 0 for no limit. A longer row shows a window of
  /// whole clusters, with "…" on each side that was cut; the caret row is cut
  /// the same way, and ends with "…" when highlighted cells were cut on its
  /// right. The window opens a quarter of the width before the first
  /// highlighted cluster (less when the highlighted clusters need the room,
  /// more when the row ends sooner). When the highlighted clusters do not all
  /// fit, the window keeps the first of them. It always holds at least one
  /// cluster, however wide. A cut row costs the text up to its window, not
  /// its offsets: an end at INT64_MAX costs what an end nearby does.
  std::int64_t max_width = 0;

  /// An empty location (start equal to end) is drawn as one caret at its
  /// place, for instance at the end of a line or of the text, instead of
  /// being ignored. In either layout.
  bool show_points = false;
};

}  // namespace vantel
