// SPDX-License-Identifier: MIT
// Resolving a report's tree: its entries, their sections and their fixes.
#include "fix/placed_edit.hpp"
#include "model/label_span.hpp"
#include "model/path_labels.hpp"
#include "model/resolved_report.hpp"
#include "model/span_faults.hpp"
#include "support/unnamed.hpp"
#include "support/wide_integer.hpp"
#include "text/cluster_walk.hpp"

#include <vantel/escaped_text.hpp>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>

namespace vantel::detail {

namespace {

// Label `k` of the report resolved on `cursor`; none for a lexer position
// without an offset. One past the end of the input adds its note to `notes`.
std::optional<Placed_label> place(const Label& label, std::size_t k, Raw_cursor& cursor,
                                  std::vector<Note>& notes) {
  const std::optional<Span> span = span_of(cursor, label.location);
  if (!span) return std::nullopt;
  if (std::optional<Note> note = past_end_note(cursor, label, k, *span))
    notes.push_back(std::move(*note));
  // Offsets past the end of the input stand on its last line, which the
  // drawing cuts them to.
  Placed_label placed;
  placed.label = &label;
  placed.order = k;
  placed.start = span->start;
  placed.end = span->end;
  std::tie(placed.first_line, placed.column) = cursor.line_col_of_offset(span->start);
  placed.last_line =
      span->end > span->start ? cursor.line_col_of_offset(span->end - 1).first : placed.first_line;
  return placed;
}

// The section of `source`: the one of the same input shown by the same
// name, or a new one. Labels mostly come grouped, so the last section is
// tried first.
Section& section_of(std::vector<Section>& sections, const Source& source) {
  const auto same = [&source](const Section& s) {
    return s.source->input.same_as(source.input) && s.name == source.name;
  };
  if (!sections.empty() && same(sections.back())) return sections.back();
  const auto found = std::find_if(sections.begin(), sections.end(), same);
  if (found != sections.end()) return *found;
  sections.emplace_back();
  sections.back().source = &source;
  sections.back().name = source.name;
  return sections.back();
}

// Label `k` as its failures name it: `report label 2 ("declared here"), b.c`.
Failure_name label_name(const Label& label, std::size_t k) {
  std::string name = "report label " + std::to_string(k + 1);
  if (!label.message.empty()) name += " (\"" + escaped_text(label.message) + "\")";
  return {name + ", " + escaped_text(label.source.name), label.source.name};
}

// What to add to the numbers of `source`'s lines up to `last`: fails when
// the source says a line or a column before the first, or numbers past the
// largest.
std::int64_t shift_of(const Source& source, std::int64_t last) {
  const auto fail = [&](const std::string& what) {
    throw std::invalid_argument("report source " + escaped_text(source.name) + ": " + what);
  };
  if (source.first_line < 1)
    fail("first line " + std::to_string(source.first_line) + " is below 1");
  if (source.first_column < 0)
    fail("first column " + std::to_string(source.first_column) + " is negative");
  if (last > max_offset - (source.first_line - 1))
    fail("first line " + std::to_string(source.first_line) + " numbers lines past the largest");
  return source.first_line - 1;
}

// Resolves `labels` on the inputs opened: the report's, or the ones
// labels_with_path gives, which must outlive the sections.
std::vector<Section> resolve_sections(const std::vector<Label>& labels, const Openings& openings,
                                      const Line_plan& plan, std::vector<Note>& notes) {
  std::vector<Section> sections;
  std::vector<std::size_t> section_of_label;
  section_of_label.reserve(labels.size());
  for (const Label& label : labels) {
    Section& section = section_of(sections, label.source);
    section.cursor = openings.cursor(label.source.input);
    section_of_label.push_back(static_cast<std::size_t>(&section - sections.data()));
  }
  // Most reports label one input: its labels are counted then.
  if (sections.size() == 1) sections.front().labels.reserve(labels.size());
  for (std::size_t k = 0; k < labels.size(); ++k) {
    Section& section = sections[section_of_label[k]];
    const Label& label = labels[k];
    if (auto placed = naming([&] { return label_name(label, k); },
                             [&] { return place(label, k, *section.cursor, notes); }))
      section.labels.push_back(*placed);
  }
  sections.erase(std::remove_if(sections.begin(), sections.end(),
                                [](const Section& s) { return s.labels.empty(); }),
                 sections.end());
  for (Section& section : sections) {
    plan_lines(section, plan);
    section.shift = shift_of(*section.source, section.lines.back());
  }
  return sections;
}

// The fixes of `report` that can be applied, their edits checked and their
// lines read; a note in `notes` for each of the others.
std::vector<Fix_view> resolve_fixes(const Report& report, const Openings& openings,
                                    std::vector<Note>& notes) {
  std::vector<Fix_view> views;
  const Cursor_of cursor_of = [&](const Input& input) { return openings.cursor(input); };
  for (std::size_t k = 0; k < report.fixes.size(); ++k) {
    Fix_view view;
    view.fix = &report.fixes[k];
    std::optional<Note> why;
    const std::vector<Edits_of_input> inputs = checked_fix(report.fixes[k], k + 1, cursor_of, why);
    if (why) {
      notes.push_back(std::move(*why));
      continue;
    }
    for (const Edits_of_input& in : inputs) {
      Fix_place place;
      place.source = in.source;
      place.cursor = openings.cursor(in.source->input);
      place.changes = changed_lines(*place.cursor, in);
      if (place.changes.empty()) continue;
      const auto [line, column] = place.cursor->line_col_of_offset(in.edits.front().start);
      const Source& source = *in.source;
      place.shift = shift_of(source, last_number(place));
      place.line = line + place.shift;
      // A column is at most an offset: the sum saturates before it overflows.
      const std::int64_t before = line == 1 ? source.first_column : 0;
      place.column = column + 1 > max_offset - before ? max_offset : column + 1 + before;
      view.places.push_back(std::move(place));
    }
    views.push_back(std::move(view));
  }
  return views;
}

// The reports of the tree in the order they are drawn, each after its
// parent, with the depth and count bounds applied. A loop over an explicit
// stack: the depth of a caller's tree never reaches the call stack.
std::vector<Resolved_entry> flatten(const Report& top, const Report_layout& options) {
  struct Node {
    const Report* report;
    std::int64_t more;
    std::int64_t depth;
  };
  std::vector<Resolved_entry> entries;
  std::vector<Node> stack{{&top, 0, 0}};
  while (!stack.empty()) {
    const Node node = stack.back();
    stack.pop_back();
    Resolved_entry entry;
    entry.report = node.report;
    entry.more = node.more;
    entry.depth = node.depth;
    entries.push_back(std::move(entry));
    if (node.report == nullptr || node.report->children.empty()) continue;
    const auto count = static_cast<std::int64_t>(node.report->children.size());
    std::int64_t shown = count;
    if (options.max_child_depth > 0 && node.depth >= options.max_child_depth)
      shown = 0;
    else if (options.max_children > 0)
      shown = std::min(count, options.max_children);
    if (shown < count) stack.push_back({nullptr, count - shown, node.depth + 1});
    for (std::int64_t k = shown; k-- > 0;)
      stack.push_back({&node.report->children[static_cast<std::size_t>(k)], 0, node.depth + 1});
  }
  return entries;
}

}  // namespace

void resolve_report(const Report& report, const Report_layout& options, Resolved_report& out) {
  out.entries = flatten(report, options);
  for (const Resolved_entry& entry : out.entries) {
    if (entry.report == nullptr) continue;
    for (const Label& label : entry.report->labels) out.openings.add(label.source.input);
    for (const Path_event& event : entry.report->path) out.openings.add(event.source.input);
    for (const Fix& fix : entry.report->fixes)
      for (const Edit& edit : fix.edits) out.openings.add(edit.source.input);
  }
  out.openings.take();
  Line_plan plan;
  plan.before = options.context_before >= 0 ? options.context_before : options.context_lines;
  plan.after = options.context_after >= 0 ? options.context_after : options.context_lines;
  plan.body = options.max_body_lines;
  for (Resolved_entry& entry : out.entries) {
    if (entry.report == nullptr) continue;
    if (!entry.report->path.empty())
      entry.path_labels = labels_with_path(*entry.report, options.max_children);
    entry.sections =
        resolve_sections(entry.report->path.empty() ? entry.report->labels : entry.path_labels,
                         out.openings, plan, entry.notes);
    entry.fixes = resolve_fixes(*entry.report, out.openings, entry.notes);
  }
}

std::int64_t last_number(const Fix_place& place) {
  std::int64_t last = 1;
  const auto end = [](std::int64_t first, std::size_t count) {
    return first + std::max<std::int64_t>(static_cast<std::int64_t>(count) - 1, 0);
  };
  for (const Changed_lines& c : place.changes)
    last = std::max({last, end(c.old_line, c.removed.size()), end(c.new_line, c.added.size())});
  return last;
}

}  // namespace vantel::detail
