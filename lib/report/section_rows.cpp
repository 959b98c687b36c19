// SPDX-License-Identifier: MIT
#include "report/section_rows.hpp"

#include "draw/labelled_line.hpp"
#include "draw/line_slice.hpp"
#include "input/line_reader.hpp"
#include "model/place.hpp"
#include "report/header_rows.hpp"
#include "support/wide_integer.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vantel::detail {

namespace {

// The parts that the labels leave on line `line`, whose text is `text`, in
// `parts` (whose buffer the section's lines share). `start` is the offset of
// the text's first byte.
void parts_on(const Section& section, std::int64_t line, std::int64_t start, std::size_t text_size,
              bool ended, const Stag& primary_tag, std::size_t& mark,
              std::vector<Report_part>& parts) {
  parts.clear();
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
    const bool primary = p.primary();
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
}

// The first and the last offset where the labels from `mark` open windows on
// `line`: a window holds its label's first marked cell and shows at most a
// window's width after it, so the rest of a long label is never read.
std::optional<std::pair<std::int64_t, std::int64_t>> marked_on(const Section& section,
                                                               std::int64_t line,
                                                               std::size_t mark) {
  std::optional<std::pair<std::int64_t, std::int64_t>> reach;
  for (; mark < section.marks.size() && section.marks[mark].first == line; ++mark) {
    const Placed_label& p = section.labels[section.marks[mark].second];
    const std::int64_t first = p.multi_line() && p.first_line != line ? p.end - 1 : p.start;
    if (!reach) reach.emplace(first, first);
    reach->first = std::min(reach->first, first);
    reach->second = std::max(reach->second, first);
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

// Line queries go to the cursor, whose table grows only as far as they
// reach: a report at the top of a large file reads only its top.
Shown_line read_shown(Line_reader& reader, Read_line& read, std::optional<Line_slice>& slice,
                      const Section& section, std::int64_t line, std::size_t mark,
                      const Layout_plan& layout) {
  const std::int64_t start = section.cursor->find_line_offset(line);
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

// The " --> " row of the section's place.
void print_arrow(Row_writer& row, const Gutter& gutter, const Section& section, Line_reader& reader,
                 Read_line& line, const Layout_plan& layout) {
  const Placed_label& p = place_of(section);
  const std::int64_t start = section.cursor->find_line_offset(p.first_line);
  std::int64_t column =
      place_column(*section.cursor, reader, line, start, p.start, layout.report.location_unit,
                   layout.tab_width, layout.report.location_origin);
  // An excerpt's first line may start inside a line of the file.
  const std::int64_t before = p.first_line == 1 ? section.source->first_column : 0;
  column = column > max_offset - before ? max_offset : column + before;
  print_place(row, gutter, *section.source, shown_number(section, p.first_line), column);
}

}  // namespace

void print_section(Row_writer& row, Gutter& gutter, const Section& section,
                   const Layout_plan& layout, const Stag& primary_tag) {
  gutter.lanes.assign(section.lanes, nullptr);
  Line_reader reader(*section.cursor);
  Read_line read;
  std::optional<Line_slice> slice;
  print_arrow(row, gutter, section, reader, read, layout);
  gutter.start_bare(row, {});
  row.end_row();
  std::int64_t previous = 0;
  std::size_t mark = 0;
  std::vector<Report_part> parts;
  for (const std::int64_t line : section.lines) {
    if (row.failed()) return;  // nothing more would be written
    // Read first: a line that the input no longer holds fails before its rows.
    const Shown_line shown = read_shown(reader, read, slice, section, line, mark, layout);
    if (previous != 0 && line > previous + 1) gutter.elision(row);
    previous = line;
    parts_on(section, line, shown.start, shown.text.size(), shown.ended, primary_tag, mark, parts);
    draw_labelled_line(row, gutter, std::to_string(shown_number(section, line)), shown.text, parts,
                       layout);
  }
}

}  // namespace vantel::detail
