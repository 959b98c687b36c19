// SPDX-License-Identifier: MIT
// How quotes and reports are laid out: one set of options for both.
#pragma once

#include <vantel/column_unit.hpp>

#include <cstdint>

namespace vantel {

/// The labels a report draws on one line unless its Layout says otherwise.
inline constexpr std::int64_t default_max_labels_per_line = 100;

/// The levels of child diagnostics a report draws unless its Layout says
/// otherwise.
inline constexpr std::int64_t default_max_child_depth = 8;

/// The children of one report drawn unless its Layout says otherwise.
inline constexpr std::int64_t default_max_children = 100;

/// The lines inside a label over several lines that a report draws whole
/// unless its Layout says otherwise: bodies of a few lines (a short `match`,
/// a closure) are what such a label is about, while a body of dozens would
/// bury the report's other lines.
inline constexpr std::int64_t default_max_body_lines = 5;

/// The characters of the marks the library draws around the quoted text.
enum class Charset {
  /// "…" marks a side of a row that was cut (the default).
  Unicode,
  /// "..." marks it: the output holds no byte above 0x7F but the quoted
  /// text's own.
  Ascii,
};

/// What only a report reads of its Layout: how many labels and children it
/// draws, its context lines, and how its ` --> name:line:col` rows count.
struct Report_layout {
  /// The most labels drawn on one line, counting those that lie on
  /// it and not the ends of labels over several lines; the first ones by
  /// column are drawn, then a row "… N more labels on this line". Each
  /// label's message row carries a connector for every label left of it, so
  /// that without a bound a line of thousands of labels draws far more than
  /// any reader would read. 0 for no limit.
  std::int64_t max_labels_per_line = default_max_labels_per_line;

  /// What the column of a ` --> name:line:col` row counts, as
  /// Position::to_line_col counts it (Column_unit::Display with tab stops
  /// every Layout::tab_width); bytes, as editors count, by default.
  Column_unit location_unit = Column_unit::Bytes;

  /// The number of a line's first column in that row: 1 (the
  /// default), or 0 for tools that count from 0.
  int location_origin = 1;

  /// The unlabelled lines shown before and after each labelled
  /// line, as plain lines; 0 (the default) for none. They merge with each
  /// other, and a gap of one line between shown lines is shown rather than
  /// elided, as always. Only the lines shown are read.
  std::int64_t context_lines = 0;

  /// The unlabelled lines shown before each labelled line; -1 (the
  /// default) for `context_lines`.
  std::int64_t context_before = -1;

  /// The unlabelled lines shown after each labelled line; -1 (the
  /// default) for `context_lines`.
  std::int64_t context_after = -1;

  /// The lines inside a label over several lines (between its first and
  /// its last) drawn whole, and those of a context label. A longer body is
  /// drawn as its first `max_body_lines - 1` lines, a "..." row and the
  /// label's last line: as many rows as the longest body drawn whole. 0 for
  /// the first and last lines alone.
  std::int64_t max_body_lines = default_max_body_lines;

  /// The levels of Report::children drawn under a report (1 draws
  /// its children but not theirs); where it cuts, a row "… N more" stands
  /// for the children left out. 0 for no limit. Levels past the eighth are
  /// drawn at the eighth's indent, their depth said after their severity.
  std::int64_t max_child_depth = default_max_child_depth;

  /// The children drawn under any one report, the first ones
  /// given, then a row "… N more". 0 for no limit.
  std::int64_t max_children = default_max_children;
};

/// Layout options of a quote (pp) and of a report (pp_report). The default
/// is the byte layout of a quote: every byte one column, the text written as
/// it is. A quote reads `columns` and `show_points`, a report `report`; both
/// read `tab_width`, `width` and `charset` (a quote in the text layout only).
/// A report is always laid out as text.
struct Layout {
  /// What a column of a quote is.
  enum class Columns {
    /// One byte, the text written as it is, carriage returns dropped (the
    /// default).
    Bytes,
    /// One terminal cell: the line is read as UTF-8 and cut into grapheme
    /// clusters. Each takes its display width (2 for wide and fullwidth
    /// characters and emoji, combining marks and joined sequences inside
    /// their cluster); a highlight that covers part of a cluster covers all
    /// of it. Invalid bytes, C0 controls but tab (a carriage return before
    /// the line feed is outside the line), and DEL are shown as <0xHH>; C1
    /// controls, bidirectional controls and code points that would take no
    /// column on their own as <U+HHHH>.
    Text,
  };
  /// The layout of a quote: bytes unless the text layout is asked for.
  Columns columns = Columns::Bytes;

  /// Text layout and reports: a tab reaches the next multiple of this many
  /// columns, in the text and under it alike. 1 to 64.
  int tab_width = default_tab_width;

  /// Text layout and reports: the most columns of a row, all of it counted
  /// (line number, margin and cut markers), so that a terminal's width can
  /// be given as it is; 0 for no limit. A longer line shows a window of whole
  /// clusters, with a cut marker on each side that was cut; the row under it
  /// is cut the same way. The window opens a quarter of its width before the
  /// first highlighted cluster (less when the highlighted clusters need the
  /// room, more in a quote when the row ends sooner; a report keeps that
  /// room for its messages). It always holds the first
  /// highlighted cluster with its carets, however wide, and so may be wider
  /// than `width` when that one cluster is. A cut row costs the text up to
  /// its window, not its offsets. A report's texts wrap at spaces to stay
  /// within `width`, a word wider than the room on a row of its own, never
  /// broken (none under 20 columns: rows of one word read worse); its
  /// ` --> name:line:col` rows are never broken, so that terminals and
  /// editors still find them.
  std::int64_t width = 0;

  /// An empty location (start equal to end) is drawn as one caret at its
  /// place, for instance at the end of a line or of the text, instead of
  /// being ignored. Quotes, in either layout; a report always draws them.
  bool show_points = false;

  /// The marks drawn around the text.
  Charset charset = Charset::Unicode;

  /// What reports alone read.
  Report_layout report;
};

}  // namespace vantel
