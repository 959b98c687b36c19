// SPDX-License-Identifier: MIT
// A report resolved once, children included: what every drawing and every
// exported form of it reads. Plain data: it never sees a formatter.
#pragma once

#include "fix/changed_lines.hpp"
#include "input/raw_cursor.hpp"
#include "model/openings.hpp"

#include <vantel/fix.hpp>
#include <vantel/layout.hpp>
#include <vantel/report.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel::detail {

// A label resolved against its input.
struct Placed_label {
  const Label* label = nullptr;  // its source, kind and message
  std::size_t order = 0;         // its place in the report's list
  std::int64_t start = 0;
  std::int64_t end = 0;  // at least start
  std::int64_t first_line = 0;
  std::int64_t last_line = 0;
  std::int64_t column = 0;  // of `start` in its line, in bytes from 0
  std::size_t lane = 0;     // when over several lines

  [[nodiscard]] bool multi_line() const noexcept { return first_line != last_line; }
  [[nodiscard]] bool primary() const noexcept { return label->kind == Label_kind::Primary; }
  [[nodiscard]] bool context_only() const noexcept { return label->kind == Label_kind::Context; }
};

// Why a line is shown.
enum class Line_reason : unsigned char {
  Labelled,  // a label starts or ends on it
  Inside,    // a label over several lines runs through it
  Context,   // around a labelled line, or a single line between two shown ones
};

// How many lines a section shows around and inside its labels.
struct Line_plan {
  std::int64_t before = 0;
  std::int64_t after = 0;
  std::int64_t body = default_max_body_lines;  // inside a label over several lines
};

// The labels of one source, which are drawn together.
struct Section {
  const Source* source = nullptr;
  std::string_view name;
  Raw_cursor* cursor = nullptr;
  std::vector<Placed_label> labels;  // in the report's order
  std::vector<std::int64_t> lines;   // shown, ascending
  std::vector<Line_reason> reasons;  // one per shown line
  // (line, label) for the first and the last line of every label, by line.
  std::vector<std::pair<std::int64_t, std::size_t>> marks;
  std::size_t lanes = 0;
  std::int64_t shift = 0;  // added to line numbers shown: the source's first line, less 1
};

// The number that line `line` of the section is shown with.
[[nodiscard]] inline std::int64_t shown_number(const Section& section, std::int64_t line) noexcept {
  return line + section.shift;  // checked when resolved not to overflow
}

// The edits of a fix in one input, and the lines they change there.
struct Fix_place {
  const Source* source = nullptr;
  Raw_cursor* cursor = nullptr;
  std::vector<Changed_lines> changes;  // none that leave their lines as they were
  std::int64_t line = 1;               // of the first edit, as shown
  std::int64_t column = 1;             // in bytes, from 1, as shown
  std::int64_t shift = 0;              // added to line numbers shown, as in Section
};

// The last line number, unshifted, that the changes of `place` show, old or new.
[[nodiscard]] std::int64_t last_number(const Fix_place& place);

struct Fix_view {
  const Fix* fix = nullptr;
  std::vector<Fix_place> places;
};

// A report of the tree, or where children were left out.
struct Resolved_entry {
  const Report* report = nullptr;  // null for "N more"
  std::int64_t more = 0;
  std::int64_t depth = 0;          // 0 for the report given
  std::vector<Label> path_labels;  // the labels and the path's events, when it has one
  std::vector<Section> sections;
  std::vector<Fix_view> fixes;  // those that can be applied
  // Said after the report's own notes: labels past the end of their input,
  // fixes left out.
  std::vector<Note> notes;
};

struct Resolved_report {
  // The reports in the order they are drawn, each after its parent, within
  // the layout's bounds of depth and count.
  std::vector<Resolved_entry> entries;
  Openings openings;  // the cursors that sections and fixes point into

  Resolved_report() = default;
  Resolved_report(const Resolved_report&) = delete;
  Resolved_report& operator=(const Resolved_report&) = delete;
};

// Opens every input of the reports drawn, then resolves their labels, lines
// and fixes: what fails, fails before anything is drawn. `out` points into
// `report`, which outlives it; the caller closes `out.openings` when done.
void resolve_report(const Report& report, const Report_layout& options, Resolved_report& out);

// The lines to show of `section`, whose labels are placed, and where each
// label opens and closes; then the lanes of its labels over several lines.
void plan_lines(Section& section, const Line_plan& plan);

}  // namespace vantel::detail
