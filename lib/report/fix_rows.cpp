// SPDX-License-Identifier: MIT
#include "report/fix_rows.hpp"

#include "draw/labelled_line.hpp"
#include "draw/line_slice.hpp"
#include "fix/spliced_cursor.hpp"
#include "input/line_reader.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace vantel::detail {

namespace {

// What a fix writes is drawn as help is.
const Style_tag fix_tag(Role::Primary, "Vantel.Report_fix_tag", "help");

bool only_writes(const Changed_lines& change) {
  return change.one_line && std::all_of(change.written.begin(), change.written.end(),
                                        [](const Written& w) { return w.end > w.begin; });
}

// A line as drawn: without its line feed, nor the carriage return before it;
// under a width, when it is long, the slice of it that windows around bytes
// [first, last] show, whose first byte is then `start`.
std::string shown_text(Raw_cursor& cursor, const Spliced_line& line, std::int64_t first,
                       std::int64_t last, const Layout_plan& layout, std::int64_t& start) {
  start = 0;
  if (layout.row_width > 0) {
    Spliced_cursor spliced(cursor, line);
    Line_reader reader(spliced);
    Slice_need need;
    need.first = first;
    need.last = last;
    need.width = layout.window_width(0);
    need.tab_width = need.align = layout.tab_width;
    if (std::optional<Line_slice> slice = slice_line(reader, 0, need)) {
      start = slice->start;
      return std::move(slice->text);
    }
  }
  std::string text = text_of(cursor, line);
  if (!text.empty() && text.back() == '\n') {
    text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  return text;
}

// Draws `line` under `number`, with `parts` (their bytes counted in the
// line) on it.
void draw_line(Row_writer& row, Gutter& gutter, std::int64_t number, std::string_view bar,
               Raw_cursor& cursor, const Spliced_line& line, std::vector<Report_part>& parts,
               const Layout_plan& layout) {
  std::int64_t first = 0;
  std::int64_t last = 0;
  if (!parts.empty()) {
    first = static_cast<std::int64_t>(parts.front().begin);
    last = static_cast<std::int64_t>(parts.back().end) - 1;
  }
  std::int64_t start = 0;
  const std::string text = shown_text(cursor, line, first, last, layout, start);
  const auto shift = static_cast<std::size_t>(start);
  std::vector<Report_part> shown;
  for (Report_part part : parts) {
    part.begin = std::min(part.begin - shift, text.size());
    part.end = std::min(part.end - shift, text.size());
    if (part.begin < part.end) shown.push_back(part);
  }
  gutter.number_bar = bar;
  draw_labelled_line(row, gutter, std::to_string(number), text, shown, layout);
  gutter.number_bar = "|";
}

// Bytes [from, to) of `line`.
std::string bytes_of(Raw_cursor& cursor, const Spliced_line& line, std::size_t from,
                     std::size_t to) {
  std::string bytes;
  read_spliced(cursor, line, static_cast<std::int64_t>(from), static_cast<std::int64_t>(to),
               [&bytes](std::string_view piece) { bytes.append(piece); });
  return bytes;
}

// The part of what `w` wrote that differs from the `old` bytes it replaced:
// their common start and end are left out. All of it when nothing is left,
// so that a replacement that only removes bytes stays marked.
Written changed_part(const Written& w, std::string_view old, std::string_view now) {
  std::size_t head = 0;
  while (head < old.size() && head < now.size() && old[head] == now[head]) ++head;
  std::size_t tail = 0;
  while (tail < old.size() - head && tail < now.size() - head &&
         old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  if (head + tail == now.size()) return w;
  return {w.begin + head, w.end - tail, old.size() - head - tail};
}

void draw_after(Row_writer& row, Gutter& gutter, const Fix_place& place,
                const Changed_lines& change, const Layout_plan& layout) {
  Raw_cursor& cursor = *place.cursor;
  std::vector<Report_part> parts;
  std::int64_t shift = 0;  // what the edits before have added to the line
  for (std::size_t k = 0; k < change.written.size(); ++k) {
    Written w = change.written[k];
    const auto old_begin = static_cast<std::size_t>(static_cast<std::int64_t>(w.begin) - shift);
    shift += static_cast<std::int64_t>(w.end - w.begin) - static_cast<std::int64_t>(w.replaced);
    if (w.begin >= w.end) continue;
    if (w.replaced > 0)
      w = changed_part(w,
                       bytes_of(cursor, change.removed.front(), old_begin, old_begin + w.replaced),
                       bytes_of(cursor, change.added.front(), w.begin, w.end));
    Report_part part;
    part.tag = &fix_tag;
    part.marker = w.replaced > 0 ? '~' : '+';
    part.begin = w.begin;
    part.end = w.end;
    part.order = k;
    parts.push_back(part);
  }
  draw_line(row, gutter, change.new_line + place.shift, "|", *place.cursor, change.added.front(),
            parts, layout);
}

void draw_diff(Row_writer& row, Gutter& gutter, const Fix_place& place, const Changed_lines& change,
               const Layout_plan& layout) {
  std::vector<Report_part> none;
  for (std::size_t k = 0; k < change.removed.size() && !row.failed(); ++k)
    draw_line(row, gutter, change.old_line + place.shift + static_cast<std::int64_t>(k), "-",
              *place.cursor, change.removed[k], none, layout);
  for (std::size_t k = 0; k < change.added.size() && !row.failed(); ++k)
    draw_line(row, gutter, change.new_line + place.shift + static_cast<std::int64_t>(k), "+",
              *place.cursor, change.added[k], none, layout);
}

}  // namespace

void draw_fix_lines(Row_writer& row, Gutter& gutter, const Fix_place& place,
                    const Layout_plan& layout) {
  std::int64_t after = 0;  // the old line after the last change drawn
  Spliced_line between;
  std::vector<Report_part> none;
  for (const Changed_lines& change : place.changes) {
    if (row.failed()) return;  // nothing more would be written
    if (after > 0 && change.old_line == after + 1 && numbered_line(*place.cursor, after, between))
      draw_line(row, gutter, after + place.shift, "|", *place.cursor, between, none, layout);
    else if (after > 0 && change.old_line > after)
      gutter.elision(row);
    if (only_writes(change))
      draw_after(row, gutter, place, change, layout);
    else
      draw_diff(row, gutter, place, change, layout);
    after = change.old_line + static_cast<std::int64_t>(change.removed.size());
  }
}

}  // namespace vantel::detail
