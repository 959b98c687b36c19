// SPDX-License-Identifier: MIT
#include "quote/quote.hpp"

#include "draw/in_tag.hpp"
#include "draw/line_number.hpp"
#include "draw/line_slice.hpp"
#include "input/line_reader.hpp"
#include "quote/quoted_lines.hpp"
#include "quote/text_quote.hpp"
#include "quote/two_columns.hpp"
#include "support/wide_repeat.hpp"

#include <vantel/styles.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace vantel::detail {
namespace {

bool covers_offsets(std::int64_t start, std::int64_t end) noexcept {
  return start != -1 && end != -1 && end != min_offset;
}

// The underline as plain bytes, gathered in a small buffer and written a
// buffer at a time rather than a write per run: with tags neither marked nor
// printed, opening and closing one writes and calls nothing.
class Buffered_runs {
 public:
  explicit Buffered_runs(Formatter& f) : f_(f) {}
  void spaces(Wide count) { put(count, ' '); }
  void carets(Wide count) { put(count, '^'); }
  void finish() { f_.print_string(std::string_view(buffer_, used_)); }
  [[nodiscard]] bool failed() const { return f_.stream().bad(); }

 private:
  void put(Wide count, char c) {
    while (count > 0 && !f_.stream().bad()) {
      if (used_ == sizeof buffer_) {
        finish();
        used_ = 0;
      }
      const auto n = static_cast<std::size_t>(std::min<Wide>(count, sizeof buffer_ - used_));
      std::memset(buffer_ + used_, c, n);
      used_ += n;
      count -= static_cast<Wide>(n);
    }
  }
  Formatter& f_;
  char buffer_[4096];
  std::size_t used_ = 0;
};

// The underline written run by run, each run of carets in one tag.
class Tagged_runs {
 public:
  explicit Tagged_runs(Formatter& f) : f_(f) {}
  void spaces(Wide count) { print_repeat(f_, count, ' '); }
  void carets(Wide count) {
    print_in_tag(f_, Single_line_underline_tag, [&] { print_repeat(f_, count, '^'); });
  }
  void finish() {}
  [[nodiscard]] bool failed() const { return f_.stream().bad(); }

 private:
  Formatter& f_;
};

// One byte per offset from `start` to the last highlighted offset: a caret
// where highlighted, a space elsewhere. Every interval ends at or before the
// last highlighted offset, so every run opened here is closed here too. An
// interval that began before the line starts its run where the underline
// does: its close must not fall on a tag that the caller opened.
template <class Runs>
void write_underline(const Bound_set& set, std::int64_t start, Runs&& runs) {
  Wide next = start;  // the offset under which the next byte stands
  for (auto i = set.first_reaching(start); i != set.end() && !runs.failed(); ++i) {
    const std::int64_t from = std::max(i->start.offset, start);
    runs.spaces(Wide{from} - next);
    runs.carets(Wide{i->end.offset} - from + 1);
    next = Wide{i->end.offset} + 1;
  }
  runs.finish();
}

// The line, then its underline.
void single_line_quote(Formatter& f, const Bound_set& set, const source_line& line,
                       const std::string& label) {
  print_line_number(f, label, static_cast<std::int64_t>(label.size()));
  f.print_string(line.text);
  f.cut();
  f.print_repeat(static_cast<std::int64_t>(label.size()) + 3, ' ');
  if (!f.mark_tags() && !f.print_tags())
    write_underline(set, line.start_offset, Buffered_runs(f));
  else
    write_underline(set, line.start_offset, Tagged_runs(f));
  f.cut();
}

// The line's text with every byte that is not highlighted shown as '.'.
std::string shown_text(const Bound_set& set, const source_line& line,
                       Bound_set::const_iterator& hint) {
  std::string shown(line.text.size(), '.');
  if (shown.empty()) return shown;
  const std::int64_t start = line.start_offset;
  const std::int64_t last = last_offset_of(line);
  hint = set.first_reaching(start, hint);
  for (auto i = hint; i != set.end() && i->start.offset <= last; ++i) {
    const auto from = static_cast<std::size_t>(Wide{std::max(i->start.offset, start)} - start);
    const auto to = static_cast<std::size_t>(Wide{std::min(i->end.offset, last)} - start);
    std::copy(line.text.begin() + static_cast<std::ptrdiff_t>(from),
              line.text.begin() + static_cast<std::ptrdiff_t>(to) + 1,
              shown.begin() + static_cast<std::ptrdiff_t>(from));
  }
  return shown;
}

// The label of a line: its number, or nothing.
std::string label_of(const std::optional<Wide>& number) {
  return number ? to_decimal(*number) : std::string();
}

// Every line labelled, its bytes outside the set shown as dots; only the
// rows that the cut shows are made.
void multi_line_quote(Formatter& f, const Bound_set& set, const Quoted_lines& lines,
                      int max_lines) {
  auto hint = set.begin();
  pp_two_columns(
      f, lines.count(), lines.label_width(),
      [&](std::int64_t i) {
        return Row{label_of(lines.number(i)), shown_text(set, lines.at(i).line, hint)};
      },
      max_lines);
}

// The label of a quote of one line. A point at the end of a line stands on
// its terminator, and one at the end of the text maybe on an empty line:
// neither is a bound within the text to number the line by, but the point's
// own line, `first`, is this one.
std::string single_line_label(const Quoted_lines& lines, const Resolved_position& first,
                              bool show_points) {
  std::string label = label_of(lines.number(0));
  if (show_points && label.empty() && first.line_start == lines.at(0).line.start_offset)
    label = to_decimal(first.line_number);
  return label;
}

// Gives `lines` the lines from the one holding `first` to the one holding
// the offset just before `last.char_offset`, as the layout sees them. A
// point at the end of a text that ends with a line feed stands on the empty
// line after it, which holds no byte to read: with points shown, that line is
// given empty.
void gather(Raw_cursor& cursor, const Resolved_position& first, const Resolved_position& last,
            const Layout_plan& layout, bool show_points, Quoted_lines& lines) {
  const bool text = layout.text;
  Line_reader reader(cursor);
  if (text && first.line_start >= 0) {
    // A quote of one long line keeps only what its window shows.
    Slice_need need;
    need.first = need.last = first.char_offset;
    need.width = layout.window_width(0);
    need.tab_width = need.align = layout.tab_width;  // the engine walks it from its start
    need.reach = last.char_offset;
    auto slice = slice_line(reader, first.line_start, need);
    if (slice && !(slice->ended && slice->end + 1 < last.char_offset)) {
      source_line line{std::move(slice->text), slice->start};
      line.column = slice->column;
      line.rest = slice->rest;
      lines.take(line);
      return;
    }
  }
  Read_line read;
  bool any = false;
  if (reader.seek(first.line_start)) {
    while (reader.position() < last.char_offset && reader.next(read)) {
      any = true;
      if (text) {
        if (without_final_return(read).size() < read.text.size()) read.text.pop_back();
      } else {
        drop_returns(read.text);
      }
      lines.take(read.text, read.start);
    }
  }
  if (show_points && !any && first.line_start >= 0 && first.line_start < last.char_offset) {
    source_line empty{std::string(), first.line_start};
    lines.take(empty);
  }
}

}  // namespace

void add_location(Bound_set::Intervals& intervals, std::size_t k, std::int64_t start,
                  std::int64_t end) {
  if (covers_offsets(start, end)) intervals.push_back({{2 * k, start}, {2 * k + 1, end - 1}});
}

namespace {

Bound_set::Intervals intervals_of(const Quote_plan::Positions& positions, bool show_points) {
  Bound_set::Intervals intervals;
  intervals.reserve(positions.size() / 2);
  for (std::size_t k = 0; 2 * k + 1 < positions.size(); ++k) {
    const std::int64_t s = positions[2 * k].char_offset;
    const std::int64_t e = positions[2 * k + 1].char_offset;
    // A point covers the one offset it stands at.
    if (show_points && s == e && s != -1)
      intervals.push_back({{2 * k, s}, {2 * k + 1, s}});
    else
      add_location(intervals, k, s, e);
  }
  return intervals;
}

}  // namespace

Quote_plan::Quote_plan(Positions positions, bool show_points)
    : positions_(std::move(positions)),
      show_points_(show_points),
      set_(Bound_set::of_intervals(intervals_of(positions_, show_points))) {}

Resolved_position Quote_plan::record(std::size_t bound) const noexcept {
  Resolved_position p = positions_[bound];
  if (show_points_ && bound % 2 == 1 && p.char_offset < max_offset &&
      positions_[bound - 1].char_offset == p.char_offset)
    ++p.char_offset;
  return p;
}

void print_quote(Formatter& formatter, Raw_cursor& cursor, const Quote_plan& plan,
                 const Layout_plan& layout, int max_lines) {
  const Bound_set& set = plan.set();
  const auto extrema = set.extrema();
  if (!extrema) return;
  const Resolved_position first = plan.record(extrema->first.payload);
  Quoted_lines lines(plan, max_lines);
  gather(cursor, first, plan.record(extrema->second.payload), layout, plan.show_points(), lines);
  render_quote(formatter, plan, lines, layout, max_lines);
}

void render_quote(Formatter& formatter, const Quote_plan& plan, const Quoted_lines& lines,
                  const Layout_plan& layout, int max_lines) {
  const Bound_set& set = plan.set();
  const auto extrema = set.extrema();
  if (!extrema) return;
  const Resolved_position first = plan.record(extrema->first.payload);
  formatter.open_vbox();
  if (lines.count() == 1 && (!lines.at(0).line.text.empty() || plan.show_points())) {
    const std::string label = single_line_label(lines, first, plan.show_points());
    if (layout.text)
      text_single_line_quote(formatter, set, lines.at(0).line, label, layout);
    else
      single_line_quote(formatter, set, lines.at(0).line, label);
  } else if (lines.count() >= 2) {
    if (layout.text)
      text_multi_line_quote(formatter, set, lines, max_lines, layout);
    else
      multi_line_quote(formatter, set, lines, max_lines);
  }
  formatter.close_box();
}

}  // namespace vantel::detail
