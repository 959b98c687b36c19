// SPDX-License-Identifier: MIT
#include "draw/layout_plan.hpp"
#include "draw/line_slice.hpp"
#include "draw/row_writer.hpp"
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "position/resolve.hpp"
#include "report/gutter.hpp"
#include "report/labelled_line.hpp"
#include "report/shown_text.hpp"
#include "support/unnamed.hpp"
#include "text/cluster_walk.hpp"
#include "text/column_units.hpp"
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

// The labels of one source, with its input opened for the whole report.
struct Section {
  const Source* source;
  std::string_view name;
  std::unique_ptr<Opening> opening;
  std::vector<Placed_label> labels;
  std::vector<std::int64_t> lines;  // shown, ascending
  // (line, label) for the first and the last line of every label, by line.
  std::vector<std::pair<std::int64_t, std::size_t>> marks;
  std::size_t lanes = 0;
};

// Line queries go to the cursor, whose table grows only as far as they
// reach: a report at the top of a large file reads only its top.
std::int64_t line_start(const Section& section, std::int64_t line) {
  return section.opening->cursor().find_line_offset(line);
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

// The lines to show, and where each label opens and closes.
void mark_lines(Section& section) {
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
  sections.push_back(
      {&source, source.name, std::make_unique<Opening>(source.input, Take::Later), {}, {}, {}, 0});
  return sections.back();
}

// Opens each input once and resolves its labels; nothing is printed yet.
// Label `k` as its failures name it: `report label 2 ("declared here"), b.c`.
std::string label_name(const Label& label, std::size_t k) {
  std::string name = "report label " + std::to_string(k + 1);
  if (!label.message.empty()) name += " (\"" + escaped_text(label.message) + "\")";
  return name + ", " + escaped_text(label.source.name);
}

std::vector<Section> resolve_sections(const Report& report) {
  std::vector<Section> sections;
  std::vector<std::size_t> section_of_label;
  section_of_label.reserve(report.labels.size());
  for (const Label& label : report.labels) {
    const Section& section = section_of(sections, label.source);
    section_of_label.push_back(static_cast<std::size_t>(&section - sections.data()));
  }
  // All at once: reports over the same inputs in other orders, in other
  // threads, never wait for each other.
  std::vector<Opening*> openings;
  openings.reserve(sections.size());
  for (const Section& section : sections) openings.push_back(section.opening.get());
  take_together(openings);
  for (std::size_t k = 0; k < report.labels.size(); ++k) {
    Section& section = sections[section_of_label[k]];
    const Label& label = report.labels[k];
    if (auto placed = naming([&] { return label_name(label, k); },
                             [&] { return place(label, k, section.opening->cursor()); }))
      section.labels.push_back(*placed);
  }
  sections.erase(std::remove_if(sections.begin(), sections.end(),
                                [](const Section& s) { return s.labels.empty(); }),
                 sections.end());
  for (Section& section : sections) {
    mark_lines(section);
    assign_lanes(section);
  }
  return sections;
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

// " --> name:line:col" for the section's first primary label, else its first.
void print_arrow(Row_writer& row, const Gutter& gutter, const Section& section, Line_reader& reader,
                 Read_line& line, const Layout_plan& layout) {
  const auto primary =
      std::find_if(section.labels.begin(), section.labels.end(),
                   [](const Placed_label& p) { return p.label->kind == Label_kind::Primary; });
  const Placed_label& p = primary != section.labels.end() ? *primary : section.labels.front();
  // A byte column counts up to the line's end (its line feed, or the end of
  // the input) where an offset lies past it; other units as to_line_col.
  // Only one past the end of the input, or another unit, needs the line
  // itself: a label on a byte of its line, or on its line feed, has that
  // byte's column.
  const std::int64_t start = line_start(section, p.first_line);
  std::int64_t column = 0;
  if (layout.location_unit == Column_unit::Bytes && reader.read(p.start, line, 1) &&
      (!line.text.empty() || line.ended)) {
    column = p.start - start + 1;  // a byte at p.start: below the largest offset
  } else {
    reader.read(start, line);
    const std::string_view text = without_final_return(line);
    const auto size = static_cast<std::int64_t>(text.size()) + (line.ended ? 1 : 0);
    column = std::min(p.start - start, size) + 1;
    if (layout.location_unit != Column_unit::Bytes)
      column = column_of_byte(text, static_cast<std::size_t>(column - 1), layout.location_unit,
                              layout.tab_width);
  }
  column -= 1 - layout.location_origin;
  row.to_column(gutter.width);
  row.put("-->", 3, &Report_margin_tag);
  row.to_column(row.column() + 1);
  std::string where(section.name);
  if (!where.empty()) where += ":";
  where += std::to_string(p.first_line) + ":" + std::to_string(column);
  // Never broken, so that terminals and editors still find file:line:col.
  put_shown(row, where, nullptr, default_tab_width);
  row.end_row();
}

void print_elision(Row_writer& row, const Gutter& gutter) {
  row.put("...", 3, &Report_margin_tag);
  for (std::size_t k = 0; k < gutter.lanes.size(); ++k) {
    if (gutter.lanes[k] == nullptr) continue;
    row.to_column(gutter.lane_column(k));
    row.put("|", 1, gutter.lanes[k]);
  }
  row.end_row();
}

void print_section(Row_writer& row, Gutter& gutter, const Section& section,
                   const Layout_plan& layout, const Style_tag& primary_tag) {
  gutter.lanes.assign(section.lanes, nullptr);
  Line_reader reader(section.opening->cursor());
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
    if (previous != 0 && line > previous + 1) print_elision(row, gutter);
    previous = line;
    std::vector<Report_part> parts =
        parts_on(section, line, shown.start, shown.text.size(), shown.ended, primary_tag, mark);
    draw_labelled_line(row, gutter, std::to_string(line), shown.text, parts, layout);
  }
}

// "= kind: text", the text's further lines under its first.
void print_note(Row_writer& row, const Gutter& gutter, const Note& note, int tab_width,
                std::int64_t width) {
  row.to_column(gutter.width + 1);
  row.put("=", 1, &Report_margin_tag);
  row.to_column(gutter.width + 3);
  if (!note.kind.empty()) {
    const Style_tag tag(Role::Severity, "Vantel.Report_severity_tag", note.kind);
    put_shown(row, note.kind, &tag, tab_width);
    row.put(":", 1, nullptr);
    row.to_column(row.column() + 1);
  }
  const std::int64_t indent = row.column();
  std::string_view text = note.text;
  for (;;) {
    const std::size_t lf = text.find('\n');
    row.to_column(indent);
    put_wrapped(row, text.substr(0, lf), nullptr, tab_width, width, bare_row);
    row.end_row();
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
}

}  // namespace
}  // namespace detail

namespace detail {
namespace {

void draw_report(Formatter& formatter, const Report& report, const Layout_plan& layout) {
  std::vector<Section> sections = resolve_sections(report);

  Gutter gutter;
  for (const Section& section : sections)
    gutter.width = std::max(gutter.width, digits(section.lines.back()));

  // The primary underlines carry the report's severity, for styles that
  // follow it.
  const Style_tag primary_tag(Role::Primary, "Vantel.Report_primary_tag",
                              std::string(report.severity.word()));
  formatter.open_vbox();
  Row_writer row(formatter);
  print_header(row, report, layout);
  for (std::size_t k = 0; k < sections.size() && !row.failed(); ++k) {
    if (k > 0) {
      gutter.lanes.clear();
      gutter.start_bare(row, {});
      row.end_row();
    }
    print_section(row, gutter, sections[k], layout, primary_tag);
  }
  if (!report.notes.empty() && !row.failed()) {
    if (!sections.empty()) {
      gutter.lanes.clear();
      gutter.start_bare(row, {});
      row.end_row();
    }
    for (const Note& note : report.notes)
      print_note(row, gutter, note, layout.tab_width, layout.row_width);
  }
  formatter.close_box();
  for (Section& section : sections) section.opening->close();
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
