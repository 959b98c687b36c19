// SPDX-License-Identifier: MIT
// Resolving a report's tree: its entries, their sections and their fixes.
#include "fix/placed_edit.hpp"
#include "model/label_span.hpp"
#include "model/path_labels.hpp"
#include "model/resolved_report.hpp"
#include "support/unnamed.hpp"
#include "text/cluster_walk.hpp"

#include <vantel/escaped_text.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>

namespace vantel::detail {

namespace {

// Label `k` of the report resolved on `cursor`; none for a lexer position
// without an offset.
std::optional<Placed_label> place(const Label& label, std::size_t k, Raw_cursor& cursor) {
  const std::optional<Span> span = span_of(cursor, label.location);
  if (!span) return std::nullopt;
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

// Resolves `labels` on the inputs opened: the report's, or the ones
// labels_with_path gives, which must outlive the sections.
std::vector<Section> resolve_sections(const std::vector<Label>& labels, const Openings& openings,
                                      std::int64_t context) {
  std::vector<Section> sections;
  std::vector<std::size_t> section_of_label;
  section_of_label.reserve(labels.size());
  for (const Label& label : labels) {
    Section& section = section_of(sections, label.source);
    section.cursor = openings.cursor(label.source.input);
    section_of_label.push_back(static_cast<std::size_t>(&section - sections.data()));
  }
  for (std::size_t k = 0; k < labels.size(); ++k) {
    Section& section = sections[section_of_label[k]];
    const Label& label = labels[k];
    if (auto placed = naming([&] { return label_name(label, k); },
                             [&] { return place(label, k, *section.cursor); }))
      section.labels.push_back(*placed);
  }
  sections.erase(std::remove_if(sections.begin(), sections.end(),
                                [](const Section& s) { return s.labels.empty(); }),
                 sections.end());
  for (Section& section : sections) plan_lines(section, context);
  return sections;
}

// The fixes of `report`, their edits checked and their lines read.
std::vector<Fix_view> resolve_fixes(const Report& report, const Openings& openings) {
  std::vector<Fix_view> views;
  const Cursor_of cursor_of = [&](const Input& input) { return openings.cursor(input); };
  for (std::size_t k = 0; k < report.fixes.size(); ++k) {
    Fix_view view;
    view.fix = &report.fixes[k];
    for (const Edits_of_input& in : place_fix(report.fixes[k], k + 1, cursor_of)) {
      Fix_place place;
      place.source = in.source;
      place.cursor = openings.cursor(in.source->input);
      place.changes = changed_lines(*place.cursor, in);
      const auto [line, column] = place.cursor->line_col_of_offset(in.edits.front().start);
      place.line = line;
      place.column = column + 1;
      if (!place.changes.empty()) view.places.push_back(std::move(place));
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
  for (Resolved_entry& entry : out.entries) {
    if (entry.report == nullptr) continue;
    if (!entry.report->path.empty())
      entry.path_labels = labels_with_path(*entry.report, options.max_children);
    entry.sections =
        resolve_sections(entry.report->path.empty() ? entry.report->labels : entry.path_labels,
                         out.openings, options.context_lines);
    entry.fixes = resolve_fixes(*entry.report, out.openings);
  }
}

}  // namespace vantel::detail
