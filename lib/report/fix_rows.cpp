// SPDX-License-Identifier: MIT
#include "report/fix_rows.hpp"

#include "report/labelled_line.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <string>
#include <string_view>

namespace vantel::detail {

namespace {

// What a fix writes is drawn as help is.
const Style_tag fix_tag(Role::Primary, "Vantel.Report_fix_tag", "help");

// A line as drawn: without its line feed, nor the carriage return before it.
std::string_view shown_line(const std::string& line) {
  std::string_view text = line;
  if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  }
  return text;
}

bool only_writes(const Changed_lines& change) {
  return change.one_line && std::all_of(change.written.begin(), change.written.end(),
                                        [](const Written& w) { return w.end > w.begin; });
}

void draw_line(Row_writer& row, Gutter& gutter, std::int64_t number, std::string_view bar,
               std::string_view text, std::vector<Report_part>& parts, const Layout_plan& layout) {
  gutter.number_bar = bar;
  draw_labelled_line(row, gutter, std::to_string(number), text, parts, layout);
  gutter.number_bar = "|";
}

void draw_after(Row_writer& row, Gutter& gutter, Raw_cursor& cursor, const Changed_lines& change,
                const Layout_plan& layout) {
  const std::string line = text_of(cursor, change.added.front());
  const std::string_view text = shown_line(line);
  std::vector<Report_part> parts;
  for (std::size_t k = 0; k < change.written.size(); ++k) {
    const Written& w = change.written[k];
    const std::size_t end = std::min(w.end, text.size());
    if (w.begin >= end) continue;  // only its line feed
    Report_part part;
    part.tag = &fix_tag;
    part.marker = w.replaces ? '~' : '+';
    part.begin = w.begin;
    part.end = end;
    part.order = k;
    parts.push_back(part);
  }
  draw_line(row, gutter, change.new_line, "|", text, parts, layout);
}

void draw_diff(Row_writer& row, Gutter& gutter, Raw_cursor& cursor, const Changed_lines& change,
               const Layout_plan& layout) {
  std::vector<Report_part> none;
  for (std::size_t k = 0; k < change.removed.size() && !row.failed(); ++k)
    draw_line(row, gutter, change.old_line + static_cast<std::int64_t>(k), "-",
              shown_line(text_of(cursor, change.removed[k])), none, layout);
  for (std::size_t k = 0; k < change.added.size() && !row.failed(); ++k)
    draw_line(row, gutter, change.new_line + static_cast<std::int64_t>(k), "+",
              shown_line(text_of(cursor, change.added[k])), none, layout);
}

}  // namespace

std::int64_t last_number(const Fix_place& place) {
  std::int64_t last = 1;
  const auto end = [](std::int64_t first, std::size_t count) {
    return first + std::max<std::int64_t>(static_cast<std::int64_t>(count) - 1, 0);
  };
  for (const Changed_lines& c : place.changes)
    last = std::max({last, end(c.old_line, c.removed.size()), end(c.new_line, c.added.size())});
  return last;
}

void draw_fix_lines(Row_writer& row, Gutter& gutter, const Fix_place& place,
                    const Layout_plan& layout) {
  std::int64_t after = 0;  // the old line after the last change drawn
  Spliced_line between;
  std::vector<Report_part> none;
  for (const Changed_lines& change : place.changes) {
    if (row.failed()) return;  // nothing more would be written
    if (after > 0 && change.old_line == after + 1 && numbered_line(*place.cursor, after, between))
      draw_line(row, gutter, after, "|", shown_line(text_of(*place.cursor, between)), none, layout);
    else if (after > 0 && change.old_line > after)
      gutter.elision(row);
    if (only_writes(change))
      draw_after(row, gutter, *place.cursor, change, layout);
    else
      draw_diff(row, gutter, *place.cursor, change, layout);
    after = change.old_line + static_cast<std::int64_t>(change.removed.size());
  }
}

}  // namespace vantel::detail
