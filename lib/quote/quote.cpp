#include "quote/quote.hpp"

#include "quote/iset.hpp"
#include "quote/line_numbers.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace vantel::detail {

const Stag Single_line_underline_tag{"Vantel.Single_line_underline_tag"};

namespace {

// Bounds point at the caller's positions, which outlive the quote: copying
// them, file names and all, would cost more than the whole merge. Large sets
// live on huge pages.
using Lexing_set = ISet<const lexing_position*, Page_allocator<Interval<const lexing_position*>>>;

// Offsets come from callers as any std::int64_t; distances between them and
// one past the last of them are computed in a wider type.
__extension__ typedef __int128 Wide;
constexpr std::int64_t max_offset = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t min_offset = std::numeric_limits<std::int64_t>::min();

// list_filter_map: the present results of f over the list, in order.
template <class T, class F>
auto list_filter_map(F f, const std::vector<T>& list) {
  using R = typename std::invoke_result_t<F, const T&>::value_type;
  std::vector<R, Page_allocator<R>> out;
  out.reserve(list.size());
  for (const T& x : list)
    if (auto r = f(x)) out.push_back(std::move(*r));
  return out;
}

// option_fold: `none` when the value is absent, `some` applied to it otherwise.
template <class R, class T, class F>
R option_fold(R none, F some, const std::optional<T>& value) {
  return value ? some(*value) : none;
}

// Writes `count` copies of c, however many that is.
void print_repeat(Formatter& f, Wide count, char c) {
  while (count > 0) {
    const auto n = static_cast<std::int64_t>(std::min<Wide>(count, max_offset));
    f.print_repeat(n, c);
    count -= n;
  }
}

// The offsets a location covers, both ends inclusive. None for a location
// with a position without offset; none too for an end at the smallest offset,
// which leaves the location empty and whose inclusive end would not fit.
std::optional<Interval<const lexing_position*>> interval_of(const Lexing_location& location) {
  const auto& [start, end] = location;
  if (!covers_offsets(start.char_offset, end.char_offset)) return std::nullopt;
  return Interval<const lexing_position*>{{&start, start.char_offset}, {&end, end.char_offset - 1}};
}

// The offset of a non-empty line's last byte; bytes past the largest offset
// cannot be highlighted, so the range stops there.
std::int64_t last_offset_of(const source_line& line) {
  const Wide last = Wide{line.start_offset} + static_cast<Wide>(line.text.size()) - 1;
  return static_cast<std::int64_t>(std::min<Wide>(last, max_offset));
}

// Each line takes the number of the first bound within its text, if any.
template <class Set, class Record>
std::vector<std::pair<std::optional<Line_number>, const source_line*>> bound_line_numbers(
    const Set& set, const Record& record, const std::vector<source_line>& lines) {
  std::vector<std::pair<std::optional<Line_number>, const source_line*>> numbers;
  numbers.reserve(lines.size());
  auto hint = set.begin();
  for (const source_line& line : lines) {
    std::optional<Line_number> number;
    if (!line.text.empty()) {
      hint = set.first_reaching(line.start_offset, hint);
      if (auto bound = set.find_bound_in(line.start_offset, last_offset_of(line), hint))
        number = record(bound->payload).line_number;
    }
    numbers.emplace_back(number, &line);
  }
  return numbers;
}

// The line, then one byte per offset from its start to the last highlighted
// offset: a caret where highlighted, a space elsewhere. Runs are written
// whole; each interval's run of carets is enclosed in one tag.
template <class Set>
void single_line_quote(Formatter& f, const Set& set, const source_line& line,
                       const std::string& label) {
  f.print_string(label);
  f.print_string(" | ");
  f.print_string(line.text);
  f.cut();
  f.print_repeat(static_cast<std::int64_t>(label.size()) + 3, ' ');
  const std::int64_t start = line.start_offset;
  Wide next = start;  // the offset under which the next byte stands
  const auto first = set.first_reaching(start);
  // With tags neither marked nor printed, opening and closing one writes and
  // calls nothing: the underline is then gathered in a small buffer and
  // written a buffer at a time rather than a write per run.
  if (!f.mark_tags() && !f.print_tags()) {
    char buffer[4096];
    std::size_t used = 0;
    const auto put = [&](Wide count, char c) {
      while (count > 0) {
        if (used == sizeof buffer) {
          f.print_string(std::string_view(buffer, used));
          used = 0;
        }
        const auto n = static_cast<std::size_t>(std::min<Wide>(count, sizeof buffer - used));
        std::memset(buffer + used, c, n);
        used += n;
        count -= static_cast<Wide>(n);
      }
    };
    for (auto i = first; i != set.end(); ++i) {
      const std::int64_t from = std::max(i->start.offset, start);
      put(Wide{from} - next, ' ');
      put(Wide{i->end.offset} - from + 1, '^');
      next = Wide{i->end.offset} + 1;
    }
    f.print_string(std::string_view(buffer, used));
    f.cut();
    return;
  }
  // Every interval ends at or before the last highlighted offset, so every
  // run opened here is closed here too.
  for (auto i = first; i != set.end(); ++i) {
    const std::int64_t from = std::max(i->start.offset, start);
    print_repeat(f, Wide{from} - next, ' ');
    // An interval that began before the line opens where the underline does:
    // its close must not fall on a tag that the caller opened.
    pp_open_stag(f, Single_line_underline_tag);
    print_repeat(f, Wide{i->end.offset} - from + 1, '^');
    pp_close_stag(f);
    next = Wide{i->end.offset} + 1;
  }
  f.cut();
}

// The line's text with every byte that is not highlighted shown as '.'.
template <class Set>
std::string shown_text(const Set& set, const source_line& line,
                       typename Set::const_iterator& hint) {
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

// The quote of `set`, whose bound payloads `record` turns into positions.
template <class Set, class Record, class Lines>
void quote_set(Formatter& formatter, const Lines& get_lines, int max_lines, const Set& set,
               const Record& record) {
  const auto extrema = set.extrema();
  if (!extrema) return;
  const std::vector<source_line> lines =
      get_lines(record(extrema->first.payload), record(extrema->second.payload));

  const auto numbers = infer_line_numbers(bound_line_numbers(set, record, lines));
  std::vector<std::string> labels;
  labels.reserve(numbers.size());
  for (const auto& number : numbers)
    labels.push_back(option_fold(std::string(), to_decimal, number.first));

  formatter.open_vbox();
  if (lines.size() == 1 && !lines.front().text.empty()) {
    single_line_quote(formatter, set, lines.front(), labels.front());
  } else if (lines.size() >= 2) {
    std::vector<Row> rows;
    rows.reserve(lines.size());
    auto hint = set.begin();
    for (std::size_t i = 0; i < lines.size(); ++i)
      rows.emplace_back(std::move(labels[i]), shown_text(set, lines[i], hint));
    pp_two_columns(formatter, rows, max_lines);
  }
  formatter.close_box();
}

}  // namespace

bool covers_offsets(std::int64_t start, std::int64_t end) noexcept {
  return start != -1 && end != -1 && end != min_offset;
}

void highlight_quote(Formatter& formatter, const Get_lines& get_lines, int max_lines,
                     const std::vector<Lexing_location>& locations) {
  const Lexing_set set = Lexing_set::of_intervals(list_filter_map(interval_of, locations));
  quote_set(formatter, get_lines, max_lines, set,
            [](const lexing_position* p) -> const lexing_position& { return *p; });
}

void highlight_quote(Formatter& formatter, const Get_resolved_lines& get_lines, int max_lines,
                     const Bound_set& set, const Record_of& record) {
  quote_set(formatter, get_lines, max_lines, set, record);
}

void pp_two_columns(Formatter& formatter, const std::vector<Row>& rows,
                    std::optional<int> max_lines, std::string_view sep) {
  // Hidden rows count for the width too, so eliding never shifts a column.
  std::size_t width = 0;
  for (const Row& row : rows) width = std::max(width, row.first.size());

  // Rows first..last give way to one "..." row: a head of ceil((m-1)/2) rows
  // and a tail of floor((m-1)/2) stay, m rows in all. With m <= 0 every row
  // is hidden and first < 0 prints no "..." either.
  const auto n = static_cast<std::int64_t>(rows.size());
  std::int64_t first = -1;
  std::int64_t last = -1;
  if (max_lines && n > *max_lines) {
    const std::int64_t k = std::int64_t{*max_lines} - 1;
    const std::int64_t head = k / 2 + k % 2;
    const std::int64_t tail = k / 2;
    first = head;
    last = n - tail - 1;
  }

  formatter.open_vbox();
  for (std::int64_t i = 0; i < n; ++i) {
    if (i == first) {
      formatter.print_string("...");
      formatter.cut();
    }
    if (first <= i && i <= last) continue;
    const Row& row = rows[static_cast<std::size_t>(i)];
    formatter.print_right_aligned(static_cast<std::int64_t>(width), row.first);
    formatter.print_char(' ');
    formatter.print_string(sep);
    formatter.print_char(' ');
    formatter.print_string(row.second);
    formatter.cut();
  }
  formatter.close_box();
}

}  // namespace vantel::detail
