// SPDX-License-Identifier: MIT
#include "draw/cut_marker.hpp"
#include "draw/layout_plan.hpp"
#include "draw/line_slice.hpp"
#include "draw/row_writer.hpp"
#include "fix/changed_lines.hpp"
#include "fix/placed_edit.hpp"
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "position/line_text.hpp"
#include "position/resolve.hpp"
#include "report/fix_rows.hpp"
#include "report/gutter.hpp"
#include "report/labelled_line.hpp"
#include "report/path_labels.hpp"
#include "report/shown_text.hpp"
#include "support/unnamed.hpp"
#include "text/cluster_walk.hpp"
#include "text/layout_limits.hpp"

#include <vantel/report.hpp>
#include <vantel/styles.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace vantel {
namespace detail {
namespace {

// A label resolved against its input: offsets, and the lines of its first
// and last byte.
struct Placed_label {
  const Label* label = nullptr;
  std::size_t order = 0;
  std::int64_t start = 0;
  std::int64_t end = 0;  // at least start
  std::int64_t first_line = 0;
  std::int64_t last_line = 0;
  std::size_t lane = 0;  // when over several lines

  [[nodiscard]] bool multi_line() const noexcept { return first_line != last_line; }
};

// Every input that a report and its children read, each opened once for the
// whole drawing.
class Openings {
 public:
  void add(const Input& input) {
    if (find(input) != inputs_.size()) return;
    inputs_.push_back(&input);
    openings_.push_back(std::make_unique<Opening>(input, Take::Later));
  }
  // All at once: reports over the same inputs in other orders, in other
  // threads, never wait for each other.
  void take() {
    std::vector<Opening*> all;
    all.reserve(openings_.size());
    for (const auto& opening : openings_) all.push_back(opening.get());
    take_together(all);
  }
  [[nodiscard]] Raw_cursor* cursor(const Input& input) const {
    const std::size_t k = find(input);
    return k == inputs_.size() ? nullptr : &openings_[k]->cursor();
  }
  void close() {
    for (const auto& opening : openings_) opening->close();
  }

 private:
  [[nodiscard]] std::size_t find(const Input& input) const {
    std::size_t k = 0;
    while (k < inputs_.size() && !inputs_[k]->same_as(input)) ++k;
    return k;
  }
  std::vector<const Input*> inputs_;
  std::vector<std::unique_ptr<Opening>> openings_;
};

// The labels of one source.
struct Section {
  const Source* source;
  std::string_view name;
  Raw_cursor* cursor;
  std::vector<Placed_label> labels;
  std::vector<std::int64_t> lines;  // shown, ascending
  // (line, label) for the first and the last line of every label, by line.
  std::vector<std::pair<std::int64_t, std::size_t>> marks;
  std::size_t lanes = 0;
};

// Line queries go to the cursor, whose table grows only as far as they
// reach: a report at the top of a large file reads only its top.
std::int64_t line_start(const Section& section, std::int64_t line) {
  return section.cursor->find_line_offset(line);
}

std::int64_t digits(std::int64_t n) {
  std::int64_t d = 1;
  for (; n >= 10; n /= 10) ++d;
  return d;
}

// Label `k` of the report resolved on `cursor`; none for a lexer position
// without an offset.
std::optional<Placed_label> place(const Label& label, std::size_t k, Raw_cursor& cursor) {
  // End first, then start, as pp resolves them.
  std::int64_t end = to_offset_raw(cursor, label.location.second);
  std::int64_t start = to_offset_raw(cursor, label.location.first);
  if (start == -1 || end == -1) return std::nullopt;
  // Offsets past the end of the input stand on its last line, which
  // parts_on cuts them to.
  start = std::max<std::int64_t>(start, 0);
  end = std::max(end, start);
  Placed_label placed;
  placed.label = &label;
  placed.order = k;
  placed.start = start;
  placed.end = end;
  placed.first_line = cursor.line_col_of_offset(start).first;
  placed.last_line = end > start ? cursor.line_col_of_offset(end - 1).first : placed.first_line;
  return placed;
}

// Whether the input has line `line`, which lies after every labelled one.
bool has_line(const Section& section, std::int64_t line) {
  Line_reader reader(*section.cursor);
  std::string text;
  return read_numbered_line(*section.cursor, reader, line, text);
}

// Up to `count` lines before and after each labelled line, each line taken
// once however much the stretches overlap. Lines after the last labelled
// one are asked for one by one, so that no more of the input is read than
// is shown.
void add_context(Section& section, std::int64_t count) {
  std::vector<std::int64_t>& lines = section.lines;
  std::int64_t known = lines.back();  // lines up to it exist
  std::int64_t last = max_offset;     // the input's last line, once found
  std::int64_t covered = 0;           // lines up to it are taken
  const std::size_t labelled = lines.size();
  for (std::size_t i = 0; i < labelled; ++i) {
    const std::int64_t line = lines[i];
    const std::int64_t from = std::max({line - count, covered + 1, std::int64_t{1}});
    const std::int64_t to = std::min(line > max_offset - count ? max_offset : line + count, last);
    for (std::int64_t k = from; k <= to; ++k) {
      if (k > known) {
        if (!has_line(section, k)) {
          last = k - 1;
          break;
        }
        known = k;
      }
      if (k != line) lines.push_back(k);
      covered = k;
    }
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

// The lines to show, and where each label opens and closes.
void mark_lines(Section& section, std::int64_t context) {
  std::vector<std::int64_t>& lines = section.lines;
  for (std::size_t k = 0; k < section.labels.size(); ++k) {
    const Placed_label& p = section.labels[k];
    lines.push_back(p.first_line);
    lines.push_back(p.last_line);
    section.marks.emplace_back(p.first_line, k);
    if (p.multi_line()) section.marks.emplace_back(p.last_line, k);
  }
  std::sort(section.marks.begin(), section.marks.end());
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  if (context > 0) add_context(section, context);
  // A single line between two shown ones is shown too: it takes no more
  // room than the "..." row that would stand for it.
  const std::size_t shown = lines.size();
  for (std::size_t i = 1; i < shown; ++i)
    if (lines[i] - lines[i - 1] == 2) lines.push_back(lines[i] - 1);
  std::sort(lines.begin(), lines.end());
}

// A label over several lines takes the leftmost lane free since before its
// first line; outer labels, which open first, run leftmost.
void assign_lanes(Section& section) {
  std::vector<Placed_label*> multi;
  for (Placed_label& p : section.labels)
    if (p.multi_line()) multi.push_back(&p);
  std::stable_sort(multi.begin(), multi.end(), [](const Placed_label* a, const Placed_label* b) {
    return a->first_line != b->first_line ? a->first_line < b->first_line
                                          : a->last_line > b->last_line;
  });
  std::vector<std::int64_t> lane_end;  // the last line of each lane's latest label
  for (Placed_label* p : multi) {
    std::size_t lane = 0;
    while (lane < lane_end.size() && lane_end[lane] >= p->first_line) ++lane;
    if (lane == lane_end.size()) lane_end.push_back(0);
    lane_end[lane] = p->last_line;
    p->lane = lane;
  }
  section.lanes = lane_end.size();
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
  sections.push_back({&source, source.name, nullptr, {}, {}, {}, 0});
  return sections.back();
}

// Label `k` as its failures name it: `report label 2 ("declared here"), b.c`.
std::string label_name(const Label& label, std::size_t k) {
  std::string name = "report label " + std::to_string(k + 1);
  if (!label.message.empty()) name += " (\"" + escaped_text(label.message) + "\")";
  return name + ", " + escaped_text(label.source.name);
}

// Resolves `labels` on the inputs opened; nothing is printed yet.
// `labels` are the report's, or the ones labels_with_path gives, which
// must outlive the sections.
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
  for (Section& section : sections) {
    mark_lines(section, context);
    assign_lanes(section);
  }
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
      place.changes.erase(
          std::remove_if(place.changes.begin(), place.changes.end(),
                         [](const Changed_lines& c) { return c.removed == c.added; }),
          place.changes.end());
      const auto [line, column] = place.cursor->line_col_of_offset(in.edits.front().start);
      place.line = line;
      place.column = column + 1;
      if (!place.changes.empty()) view.places.push_back(std::move(place));
    }
    views.push_back(std::move(view));
  }
  return views;
}

// The parts that the labels leave on line `line`, whose text is `text`.
// `start` is the offset of the text's first byte.
std::vector<Report_part> parts_on(const Section& section, std::int64_t line, std::int64_t start,
                                  std::size_t text_size, bool ended, const Style_tag& primary_tag,
                                  std::size_t& mark) {
  std::vector<Report_part> parts;
  std::size_t count = 0;
  while (mark + count < section.marks.size() && section.marks[mark + count].first == line) ++count;
  parts.reserve(count);
  const auto size = static_cast<std::int64_t>(text_size);
  const std::int64_t limit = size + (ended ? 1 : 0);
  const auto in_line = [&](std::int64_t offset, std::int64_t most) {
    return static_cast<std::size_t>(std::clamp<std::int64_t>(offset - start, 0, most));
  };
  for (; mark < section.marks.size() && section.marks[mark].first == line; ++mark) {
    const Placed_label& p = section.labels[section.marks[mark].second];
    Report_part part;
    const bool primary = p.label->kind == Label_kind::Primary;
    part.tag = primary ? &primary_tag : &Report_secondary_tag;
    part.primary = primary;
    part.marker = primary ? '^' : '-';
    part.order = p.order;
    part.lane = p.lane;
    if (!p.multi_line()) {
      part.kind = Report_part::Kind::Single;
      part.begin = in_line(p.start, size);
      part.end = std::max(part.begin, in_line(p.end, limit));
      part.message = p.label->message;
    } else if (p.first_line == line) {
      part.kind = Report_part::Kind::Opens;
      part.begin = in_line(p.start, size);
    } else {
      part.kind = Report_part::Kind::Closes;
      part.begin = in_line(p.end - 1, size);
      part.message = p.label->message;
    }
    parts.push_back(part);
  }
  return parts;
}

// The first and the last offset that the labels from `mark` mark on `line`.
std::optional<std::pair<std::int64_t, std::int64_t>> marked_on(const Section& section,
                                                               std::int64_t line,
                                                               std::size_t mark) {
  std::optional<std::pair<std::int64_t, std::int64_t>> reach;
  for (; mark < section.marks.size() && section.marks[mark].first == line; ++mark) {
    const Placed_label& p = section.labels[section.marks[mark].second];
    const std::int64_t first = p.multi_line() && p.first_line != line ? p.end - 1 : p.start;
    const std::int64_t last =
        p.multi_line() && p.first_line == line ? p.start : std::max(p.start, p.end - 1);
    if (!reach) reach.emplace(first, last);
    reach->first = std::min(reach->first, first);
    reach->second = std::max(reach->second, last);
  }
  return reach;
}

// A line of a section as its rows draw it: whole, or when it is long, the
// slice of it that windows around its labels show.
struct Shown_line {
  std::string_view text;
  std::int64_t start = 0;  // the offset of the text's first byte
  bool ended = false;      // the text reaches the line feed
};

Shown_line read_shown(Line_reader& reader, Read_line& read, std::optional<Line_slice>& slice,
                      const Section& section, std::int64_t line, std::size_t mark,
                      const Layout_plan& layout) {
  const std::int64_t start = line_start(section, line);
  slice.reset();
  if (const auto reach = marked_on(section, line, mark)) {
    Slice_need need;
    std::tie(need.first, need.last) = *reach;
    need.width = layout.window_width(0);
    need.tab_width = need.align = layout.tab_width;
    slice = slice_line(reader, start, need);
  }
  if (slice) return {slice->text, slice->start, slice->ended && slice->rest == 0};
  reader.read(start, read);
  return {without_final_return(read), start, read.ended};
}

// Continuation rows of a text with nothing on their left.
void bare_row() noexcept {}

void print_header(Row_writer& row, const Report& report, const Layout_plan& layout) {
  const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag",
                      std::string(report.severity.word()));
  std::string word(report.severity.word());
  if (!report.code.empty()) word += "[" + report.code + "]";
  put_shown(row, word, &tag, layout.tab_width);
  if (!report.message.empty()) {
    row.put(": ", 2, nullptr);
    put_wrapped(row, report.message, nullptr, layout.tab_width, layout.row_width, bare_row);
  }
  row.end_row();
}

// " --> name:line:col", never broken, so that terminals and editors still
// find it.
void print_place(Row_writer& row, const Gutter& gutter, std::string_view name, std::int64_t line,
                 std::int64_t column) {
  row.to_column(gutter.width);
  row.put("-->", 3, &Report_margin_tag);
  row.to_column(row.column() + 1);
  std::string where(name);
  if (!where.empty()) where += ":";
  where += std::to_string(line) + ":" + std::to_string(column);
  put_shown(row, where, nullptr, default_tab_width);
  row.end_row();
}

// The place of the section's first primary label, else of its first.
void print_arrow(Row_writer& row, const Gutter& gutter, const Section& section, Line_reader& reader,
                 Read_line& line, const Layout_plan& layout) {
  const auto primary =
      std::find_if(section.labels.begin(), section.labels.end(),
                   [](const Placed_label& p) { return p.label->kind == Label_kind::Primary; });
  const Placed_label& p = primary != section.labels.end() ? *primary : section.labels.front();
  // A byte column counts up to the line's end (its line feed, or the end of
  // the input) where an offset lies past it. Only one past the end of the
  // input needs the line's length: a label on a byte of its line, or on its
  // line feed, has that byte's column. Other units count from it as
  // to_line_col does, piece by piece.
  const std::int64_t start = line_start(section, p.first_line);
  std::int64_t column = 0;
  if (reader.read(p.start, line, 1) && (!line.text.empty() || line.ended)) {
    column = p.start - start + 1;  // a byte at p.start: below the largest offset
  } else {
    reader.read(start, line);
    const auto size =
        static_cast<std::int64_t>(without_final_return(line).size()) + (line.ended ? 1 : 0);
    column = std::min(p.start - start, size) + 1;
  }
  const Column_unit unit = layout.options.location_unit;
  if (unit != Column_unit::Bytes) {
    column = column_of_byte_at(*section.cursor, start, static_cast<std::size_t>(column - 1), unit,
                               layout.tab_width);
    reader.seek(start);  // the count moved the cursor under the reader
  }
  column -= 1 - layout.options.location_origin;
  print_place(row, gutter, section.name, p.first_line, column);
}

void print_section(Row_writer& row, Gutter& gutter, const Section& section,
                   const Layout_plan& layout, const Style_tag& primary_tag) {
  gutter.lanes.assign(section.lanes, nullptr);
  Line_reader reader(*section.cursor);
  Read_line read;
  std::optional<Line_slice> slice;
  print_arrow(row, gutter, section, reader, read, layout);
  gutter.start_bare(row, {});
  row.end_row();
  std::int64_t previous = 0;
  std::size_t mark = 0;
  for (const std::int64_t line : section.lines) {
    if (row.failed()) return;  // nothing more would be written
    // Read first: a line that the input no longer holds fails before its rows.
    const Shown_line shown = read_shown(reader, read, slice, section, line, mark, layout);
    if (previous != 0 && line > previous + 1) gutter.elision(row);
    previous = line;
    std::vector<Report_part> parts =
        parts_on(section, line, shown.start, shown.text.size(), shown.ended, primary_tag, mark);
    draw_labelled_line(row, gutter, std::to_string(line), shown.text, parts, layout);
  }
}

// "= kind: text" (`indent` columns further right), the text's further lines
// under its first; the kind in a severity tag for `severity`.
void print_equals(Row_writer& row, const Gutter& gutter, std::int64_t indent, std::string_view kind,
                  const std::string& severity, std::string_view text, const Layout_plan& layout) {
  row.to_column(gutter.width + 1 + indent);
  row.put("=", 1, &Report_margin_tag);
  row.to_column(row.column() + 1);
  if (!kind.empty()) {
    const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag", severity);
    put_shown(row, kind, &tag, layout.tab_width);
    row.put(":", 1, nullptr);
    row.to_column(row.column() + 1);
  }
  const std::int64_t column = row.column();
  for (;;) {
    const std::size_t lf = text.find('\n');
    row.to_column(column);
    put_wrapped(row, text.substr(0, lf), nullptr, layout.tab_width, layout.row_width, bare_row);
    row.end_row();
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
}

// A report of the tree as drawn, or a row standing for children left out.
struct Entry {
  const Report* report = nullptr;  // null for "… N more"
  std::int64_t more = 0;
  std::int64_t depth = 0;  // 0 for the report given
  std::vector<Section> sections;
  std::vector<Fix_view> fixes;
  std::vector<Label> path_labels;  // the labels and the path's events, when it has one
};

// The reports of the tree in the order they are drawn, each after its
// parent, with the depth and count bounds applied. A loop over an explicit
// stack: the depth of a caller's tree never reaches the call stack.
std::vector<Entry> flatten(const Report& top, const Layout_plan& layout) {
  struct Node {
    const Report* report;
    std::int64_t more;
    std::int64_t depth;
  };
  std::vector<Entry> entries;
  std::vector<Node> stack{{&top, 0, 0}};
  while (!stack.empty()) {
    const Node node = stack.back();
    stack.pop_back();
    Entry entry;
    entry.report = node.report;
    entry.more = node.more;
    entry.depth = node.depth;
    entries.push_back(std::move(entry));
    if (node.report == nullptr || node.report->children.empty()) continue;
    const auto count = static_cast<std::int64_t>(node.report->children.size());
    std::int64_t shown = count;
    if (layout.options.max_child_depth > 0 && node.depth >= layout.options.max_child_depth)
      shown = 0;
    else if (layout.options.max_children > 0)
      shown = std::min(count, layout.options.max_children);
    if (shown < count) stack.push_back({nullptr, count - shown, node.depth + 1});
    for (std::int64_t k = shown; k-- > 0;)
      stack.push_back({&node.report->children[static_cast<std::size_t>(k)], 0, node.depth + 1});
  }
  return entries;
}

// Opens every input of the drawn reports, then resolves their labels and
// fixes: what fails, fails before anything is printed.
void resolve(std::vector<Entry>& entries, Openings& openings, const Layout_plan& layout) {
  for (const Entry& entry : entries) {
    if (entry.report == nullptr) continue;
    for (const Label& label : entry.report->labels) openings.add(label.source.input);
    for (const Path_event& event : entry.report->path) openings.add(event.source.input);
    for (const Fix& fix : entry.report->fixes)
      for (const Edit& edit : fix.edits) openings.add(edit.source.input);
  }
  openings.take();
  for (Entry& entry : entries) {
    if (entry.report == nullptr) continue;
    if (!entry.report->path.empty())
      entry.path_labels = labels_with_path(*entry.report, layout.options.max_children);
    entry.sections =
        resolve_sections(entry.report->path.empty() ? entry.report->labels : entry.path_labels,
                         openings, layout.options.context_lines);
    entry.fixes = resolve_fixes(*entry.report, openings);
  }
}

// The line-number column, as wide as the widest number of the whole tree.
std::int64_t number_width(const std::vector<Entry>& entries) {
  std::int64_t width = 1;
  for (const Entry& entry : entries) {
    for (const Section& section : entry.sections)
      width = std::max(width, digits(section.lines.back()));
    for (const Fix_view& fix : entry.fixes)
      for (const Fix_place& place : fix.places) width = std::max(width, digits(last_number(place)));
  }
  return width;
}

}  // namespace
}  // namespace detail

namespace detail {
namespace {

// Draws the entries one after another, under one line-number column.
class Report_drawing {
 public:
  Report_drawing(Formatter& formatter, const Layout_plan& layout, std::int64_t width)
      : row_(formatter), layout_(layout) {
    gutter_.width = width;
  }

  void entry(const Entry& e) {
    if (e.report == nullptr) {
      more(e);
      return;
    }
    const std::string severity(e.report->severity.word());
    // The primary underlines carry the report's severity, for styles that
    // follow it.
    const Style_tag primary_tag(Role::Primary, "Vantel.Report_primary_tag", severity);
    const std::int64_t indent = 2 * std::max<std::int64_t>(e.depth - 1, 0);
    if (e.depth == 0) {
      print_header(row_, *e.report, layout_);
    } else {
      std::string kind = severity;
      if (!e.report->code.empty()) kind += "[" + e.report->code + "]";
      separate();
      print_equals(row_, gutter_, indent, kind, severity, e.report->message, layout_);
    }
    for (const Section& section : e.sections) {
      if (row_.failed()) return;
      separate();
      print_section(row_, gutter_, section, layout_, primary_tag);
      lines_last_ = true;
      current_ = section.source;
    }
    for (const Note& note : e.report->notes) {
      separate();
      print_equals(row_, gutter_, indent, note.kind, note.kind, note.text, layout_);
    }
    for (const Fix_view& fix : e.fixes) this->fix(fix, indent);
  }

  [[nodiscard]] bool failed() const { return row_.failed(); }

 private:
  // A bare row between source lines and what follows them.
  void separate() {
    if (!lines_last_) return;
    gutter_.lanes.clear();
    gutter_.start_bare(row_, {});
    row_.end_row();
    lines_last_ = false;
  }

  void fix(const Fix_view& view, std::int64_t indent) {
    separate();
    print_equals(row_, gutter_, indent, "help", "help", view.fix->message, layout_);
    for (const Fix_place& place : view.places) {
      if (row_.failed()) return;
      gutter_.lanes.clear();
      if (current_ == nullptr || !current_->input.same_as(place.source->input) ||
          current_->name != place.source->name)
        print_place(row_, gutter_, place.source->name, place.line, place.column);
      current_ = place.source;
      gutter_.start_bare(row_, {});
      row_.end_row();
      draw_fix_lines(row_, gutter_, place, layout_);
      lines_last_ = true;
    }
  }

  // "… N more", where children were left out.
  void more(const Entry& e) {
    separate();
    const Cut_marker marker = cut_marker(layout_.charset);
    row_.to_column(gutter_.width + 1 + 2 * std::max<std::int64_t>(e.depth - 1, 0));
    row_.put(marker.text, marker.width, &Cut_marker_tag);
    const std::string rest = " " + std::to_string(e.more) + " more";
    row_.put(rest, static_cast<std::int64_t>(rest.size()), nullptr);
    row_.end_row();
  }

  Row_writer row_;
  const Layout_plan& layout_;
  Gutter gutter_;
  bool lines_last_ = false;          // the last row drawn was a source line's
  const Source* current_ = nullptr;  // whose lines were drawn last
};

void draw_report(Formatter& formatter, const Report& report, const Layout_plan& layout) {
  std::vector<Entry> entries = flatten(report, layout);
  Openings openings;
  resolve(entries, openings, layout);
  formatter.open_vbox();
  Report_drawing drawing(formatter, layout, number_width(entries));
  for (const Entry& entry : entries) {
    if (drawing.failed()) break;
    drawing.entry(entry);
  }
  formatter.close_box();
  openings.close();
}

}  // namespace
}  // namespace detail

void pp_report(Formatter& formatter, const Report& report, const Layout& layout) {
  detail::Layout_plan plan = detail::plan_layout(layout, "vantel::pp_report");
  plan.text = true;
  detail::draw_report(formatter, report, plan);
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
void pp_report(Formatter& formatter, const Report& report, const Report_options& options) {
  Layout layout;
  layout.tab_width = options.tab_width;
  detail::Layout_plan plan = detail::plan_layout(layout, "vantel::pp_report");
  detail::check_max_width(options.max_width, "vantel::pp_report");
  plan.text = true;
  plan.text_width = options.max_width;
  detail::draw_report(formatter, report, plan);
}
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace vantel
