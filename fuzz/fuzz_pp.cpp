// SPDX-License-Identifier: MIT
// Quotes a fuzzer-chosen text around locations of every position form and
// checks the quote against a plain model of the text: resolution results and
// failures, the caret row of a one-line quote and its tags, the rows of a
// quote over several lines, and that quoting again gives the same bytes.
#include <vantel/vantel.hpp>
#include "full_buf.hpp"
#include "fuzz_check.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

using fuzz::Failure;
using fuzz::fits;
using fuzz::max64;
using fuzz::min64;
using fuzz::outcome;
using fuzz::Wide;

using vantel::Input;
using vantel::lexing_position;
using vantel::Location;
using vantel::Position;

// Runs a non-throwing call and says which failure it reported, keeping its
// message; a code of no documented failure aborts.
template <class F>
Failure twin_outcome(F&& f, std::string& message) {
  vantel::Error error;
  f(error);
  message = error.message;
  if (!error) return Failure::none;
  if (error.code == std::make_error_code(std::errc::result_out_of_range))
    return Failure::out_of_range;
  if (error.code == std::make_error_code(std::errc::value_too_large)) return Failure::overflow;
  std::fprintf(stderr, "undocumented failure: %s\n", message.c_str());
  std::abort();
}

// pp, keeping the message of what it throws.
void quote_keeping(const Input& input, vantel::Formatter& f, const std::vector<Location>& locations,
                   int max_lines, std::string& message) {
  try {
    vantel::pp(input, f, locations, max_lines);
  } catch (const std::exception& e) {
    message = e.what();
    throw;
  }
}

// The text and its line starts, computed the plain way.
struct Text {
  std::string bytes;
  std::vector<std::int64_t> starts;

  explicit Text(std::string b) : bytes(std::move(b)) {
    starts.push_back(0);
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\n') starts.push_back(static_cast<std::int64_t>(i) + 1);
  }
  [[nodiscard]] std::int64_t size() const { return static_cast<std::int64_t>(bytes.size()); }
  // The last line starting at or before `offset`; line 1 for any offset before it.
  [[nodiscard]] std::size_t line_index(std::int64_t offset) const {
    const auto it = std::upper_bound(starts.begin(), starts.end(), offset);
    return it == starts.begin() ? 0 : static_cast<std::size_t>(it - starts.begin()) - 1;
  }
};

// A position as the fuzzer described it: a base, then shifts innermost first.
struct Described {
  enum class Kind { offset, line_col, lexing } kind = Kind::offset;
  std::int64_t a = 0;  // offset, or line
  std::int64_t b = 0;  // column
  lexing_position lexing;
  std::vector<std::int64_t> shifts;

  [[nodiscard]] Position build() const {
    Position p = kind == Kind::offset     ? Position::of_offset(a)
                 : kind == Kind::line_col ? Position::of_line_col(a, b)
                                          : Position::of_lexing(lexing);
    for (const std::int64_t amount : shifts) p = Position::shift(p, amount);
    return p;
  }
};

struct Resolved {
  Failure failure = Failure::none;
  lexing_position lexing;  // with an empty file name
};

// What resolving `d` against `text` must give.
Resolved expect(const Text& text, const Described& d) {
  Wide offset = 0;
  switch (d.kind) {
    case Described::Kind::offset:
      offset = d.a;
      break;
    case Described::Kind::lexing:
      offset = d.lexing.char_offset;
      break;
    case Described::Kind::line_col:
      if (d.a < 1 || static_cast<std::uint64_t>(d.a) > text.starts.size())
        return {Failure::out_of_range, {}};
      offset = Wide{text.starts[static_cast<std::size_t>(d.a - 1)]} + d.b - 1;
      if (!fits(offset)) return {Failure::overflow, {}};
      break;
  }
  // Partial sums are formed innermost first, and each must fit.
  for (const std::int64_t amount : d.shifts) {
    offset += amount;
    if (!fits(offset)) return {Failure::overflow, {}};
  }
  const auto o = static_cast<std::int64_t>(offset);
  if (d.shifts.empty() && d.kind == Described::Kind::lexing) return {Failure::none, d.lexing};
  if (d.shifts.empty() && d.kind == Described::Kind::line_col)
    return {Failure::none, {"", d.a, text.starts[static_cast<std::size_t>(d.a - 1)], o}};
  const std::size_t k = text.line_index(o);
  return {Failure::none, {"", static_cast<std::int64_t>(k) + 1, text.starts[k], o}};
}

std::int64_t extreme(FuzzedDataProvider& d) {
  static constexpr std::int64_t values[] = {min64, min64 + 1, INT32_MIN, -2,        -1,
                                            0,     1,         INT32_MAX, max64 - 1, max64};
  if (d.ConsumeBool()) return d.ConsumeIntegral<std::int64_t>();
  return d.PickValueInArray(values);
}

// Mostly near the text, now and then anywhere.
std::int64_t near(FuzzedDataProvider& d, std::int64_t lo, std::int64_t hi) {
  if (d.ConsumeIntegralInRange(0, 7) == 0) return extreme(d);
  return d.ConsumeIntegralInRange(lo, hi);
}

Described describe(FuzzedDataProvider& d, const Text& text) {
  const std::int64_t len = text.size();
  const auto lines = static_cast<std::int64_t>(text.starts.size());
  Described p;
  switch (d.ConsumeIntegralInRange(0, 2)) {
    case 0:
      p.kind = Described::Kind::offset;
      p.a = near(d, -8, 2 * len + 8);
      break;
    case 1:
      p.kind = Described::Kind::line_col;
      p.a = near(d, -1, lines + 2);
      p.b = near(d, -8, 64);
      break;
    default:
      p.kind = Described::Kind::lexing;
      p.lexing.file_name = d.ConsumeRandomLengthString(8);
      p.lexing.line_number = near(d, -2, lines + 2);
      p.lexing.line_start = near(d, -2, len + 2);
      p.lexing.char_offset = d.ConsumeIntegralInRange(0, 5) == 0 ? -1 : near(d, -8, 2 * len + 8);
      break;
  }
  switch (d.ConsumeIntegralInRange(0, 7)) {
    case 0: {  // deep: one amount repeated, then one of any size
      const std::size_t depth = d.ConsumeIntegralInRange<std::size_t>(0, 20000);
      const std::int64_t amount = d.ConsumeIntegralInRange<std::int64_t>(-2, 2);
      p.shifts.assign(depth, amount);
      p.shifts.push_back(near(d, -8, 8));
      break;
    }
    case 1:
    case 2: {
      const int n = d.ConsumeIntegralInRange(1, 4);
      for (int i = 0; i < n; ++i) p.shifts.push_back(near(d, -len - 8, len + 8));
      break;
    }
    default:
      break;
  }
  return p;
}

// What the quote must show, worked out from the resolved locations.
struct Span {
  std::int64_t first;
  std::int64_t last;  // inclusive
};

struct Line {
  std::string text;
  std::int64_t start;
};

// The lines that gathering reads over a text: from line_start, each to its
// line feed, while the line being started begins before `end`.
std::vector<Line> gather(const std::string& t, std::int64_t line_start, std::int64_t end) {
  std::vector<Line> lines;
  const auto len = static_cast<std::int64_t>(t.size());
  if (line_start < 0 || line_start >= len) return lines;
  std::int64_t begin = line_start;
  std::int64_t pos = line_start;
  std::string pending;
  const auto add = [&] {
    if (begin < pos) {
      lines.push_back({pending, begin});
      pending.clear();
      begin = pos;
    }
  };
  while (begin < end) {
    if (pos >= len) {
      add();
      break;
    }
    const char c = t[static_cast<std::size_t>(pos++)];
    if (c == '\n')
      add();
    else if (c != '\r')
      pending.push_back(c);
  }
  return lines;
}

struct Model {
  std::vector<Span> merged;  // disjoint, ascending
  std::int64_t line_start = 0;
  std::vector<Line> lines;

  [[nodiscard]] bool highlighted(std::int64_t x) const {
    for (const Span& s : merged)
      if (s.first <= x && x <= s.last) return true;
    return false;
  }
};

Model model(const Text& text,
            const std::vector<std::pair<lexing_position, lexing_position>>& locs) {
  Model m;
  std::vector<Span> spans;
  const lexing_position* leftmost = nullptr;
  std::int64_t end = 0;
  for (const auto& [s, e] : locs) {
    if (s.char_offset == -1 || e.char_offset == -1 || e.char_offset == min64) continue;
    if (s.char_offset > e.char_offset - 1) continue;
    spans.push_back({s.char_offset, e.char_offset - 1});
    // Among starts at the same offset, the one listed first is kept.
    if (leftmost == nullptr || s.char_offset < leftmost->char_offset) leftmost = &s;
    end = std::max(end, e.char_offset);
  }
  if (spans.empty()) return m;
  std::stable_sort(spans.begin(), spans.end(),
                   [](const Span& a, const Span& b) { return a.first < b.first; });
  for (const Span& s : spans) {
    if (!m.merged.empty() && s.first <= m.merged.back().last)
      m.merged.back().last = std::max(m.merged.back().last, s.last);
    else
      m.merged.push_back(s);
  }
  m.line_start = leftmost->line_start;
  m.lines = gather(text.bytes, m.line_start, end);
  return m;
}

// A formatter over a fresh stream that records where the highlight tag opens
// and closes (through the print functions) and, when marking is set up, where
// the mark texts went, so that they can be taken out again.
struct Recording {
  std::ostringstream out;
  vantel::Formatter formatter{out};
  std::vector<std::pair<bool, std::int64_t>> tags;         // (opens, column)
  std::vector<std::pair<std::size_t, std::size_t>> marks;  // (stream position, length)

  explicit Recording(bool styled) {
    vantel::Stag_functions functions;
    functions.print_open_stag = [this](const vantel::Stag&) {
      tags.emplace_back(true, formatter.column());
    };
    functions.print_close_stag = [this](const vantel::Stag&) {
      tags.emplace_back(false, formatter.column());
    };
    formatter.set_stag_functions(std::move(functions));
    formatter.set_print_tags(true);
    if (styled)
      vantel::setup_highlight_tags(
          formatter, {[this] { return mark("\x1b[1;31m"); }, [this] { return mark("\x1b[0m"); }});
  }

  std::string mark(const char* text) {
    marks.emplace_back(static_cast<std::size_t>(out.tellp()), std::string(text).size());
    return text;
  }

  // The output without the mark texts.
  [[nodiscard]] std::string plain() const {
    const std::string all = out.str();
    std::string kept;
    std::size_t from = 0;
    for (const auto& [at, length] : marks) {
      CHECK(at >= from && at + length <= all.size());
      kept.append(all, from, at - from);
      from = at + length;
    }
    kept.append(all, from, std::string::npos);
    return kept;
  }
};

std::vector<std::string> split_rows(const std::string& s) {
  std::vector<std::string> rows;
  std::size_t from = 0;
  while (from < s.size()) {
    const std::size_t lf = s.find('\n', from);
    CHECK(lf != std::string::npos);  // every row ends with a cut
    rows.push_back(s.substr(from, lf - from));
    from = lf + 1;
  }
  return rows;
}

bool is_label(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || c == '-'; });
}

void check_single_line(const Model& m, const Recording& r, const std::string& out) {
  const Line& line = m.lines.front();
  const std::size_t bar = out.find(" | ");
  CHECK(bar != std::string::npos);
  const std::string label = out.substr(0, bar);
  CHECK(is_label(label));
  const std::string rest = out.substr(bar + 3);
  CHECK(rest.compare(0, line.text.size(), line.text) == 0);
  CHECK(rest.size() > line.text.size() && rest[line.text.size()] == '\n');
  const std::string row = rest.substr(line.text.size() + 1);
  CHECK(!row.empty() && row.back() == '\n');
  const std::size_t indent = label.size() + 3;
  CHECK(row.size() > indent && row.compare(0, indent, std::string(indent, ' ')) == 0);
  const std::string carets = row.substr(indent, row.size() - indent - 1);

  // One byte per offset from the line's start to the last highlighted one.
  const std::int64_t last = m.merged.back().last;
  CHECK(static_cast<std::int64_t>(carets.size()) == last - line.start + 1);
  for (std::size_t i = 0; i < carets.size(); ++i)
    CHECK(carets[i] == (m.highlighted(line.start + static_cast<std::int64_t>(i)) ? '^' : ' '));

  // Each highlighted stretch under the line in exactly one tag.
  std::vector<std::pair<bool, std::int64_t>> want;
  const auto column = [&](std::int64_t offset) {
    return static_cast<std::int64_t>(indent) + (offset - line.start);
  };
  for (const Span& s : m.merged) {
    if (s.last < line.start) continue;
    want.emplace_back(true, column(std::max(s.first, line.start)));
    want.emplace_back(false, column(s.last) + 1);
  }
  CHECK(r.tags == want);
}

void check_multi_line(const Model& m, const Recording& r, const std::string& out, int max_lines) {
  CHECK(r.tags.empty());
  const auto n = static_cast<std::int64_t>(m.lines.size());
  std::int64_t first = -1;
  std::int64_t last = -1;
  if (n > max_lines) {
    const std::int64_t k = std::int64_t{max_lines} - 1;
    first = k / 2 + k % 2;
    last = n - k / 2 - 1;
  }
  const std::vector<std::string> rows = split_rows(out);
  std::size_t row = 0;
  std::optional<std::size_t> width;
  for (std::int64_t i = 0; i < n; ++i) {
    if (i == first) {
      CHECK(row < rows.size() && rows[row] == "...");
      ++row;
    }
    if (first <= i && i <= last) continue;
    const Line& line = m.lines[static_cast<std::size_t>(i)];
    std::string shown = line.text;
    for (std::size_t j = 0; j < shown.size(); ++j)
      if (!m.highlighted(line.start + static_cast<std::int64_t>(j))) shown[j] = '.';
    CHECK(row < rows.size());
    const std::string& got = rows[row++];
    const std::string tail = " | " + shown;
    CHECK(got.size() >= tail.size() &&
          got.compare(got.size() - tail.size(), tail.size(), tail) == 0);
    const std::string left = got.substr(0, got.size() - tail.size());
    if (!width) width = left.size();
    CHECK(left.size() == *width);
    const std::size_t digits = left.find_first_not_of(' ');
    CHECK(is_label(digits == std::string::npos ? std::string() : left.substr(digits)));
  }
  CHECK(row == rows.size());
}

// The quote of one line as far as `size` bytes of it: the label (taken from
// `got`, which must show it whole), the line, then one byte per offset up to
// the last highlighted one. Its whole length, however long, in `length`.
std::string single_line_prefix(const Model& m, const std::string& got, std::size_t size,
                               Wide& length) {
  const Line& line = m.lines.front();
  const std::size_t bar = got.find(" | ");
  if (bar == std::string::npos) {
    length = -1;  // too short to say
    return got;
  }
  CHECK(is_label(got.substr(0, bar)));
  std::string want = got.substr(0, bar) + " | " + line.text + "\n" + std::string(bar + 3, ' ');
  const Wide row = std::max<Wide>(Wide{m.merged.back().last} - line.start + 1, 0);
  length = static_cast<Wide>(want.size()) + row + 1;
  for (std::int64_t x = line.start; want.size() < size && x <= m.merged.back().last; ++x)
    want.push_back(m.highlighted(x) ? '^' : ' ');
  want.push_back('\n');
  return want.substr(0, std::min(size, want.size()));
}

// Offsets far past the text: the underline runs on to the last highlighted
// one, as far as the stream takes it. A stream that takes a few bytes and
// then refuses must stop the quote at once, holding the start of the quote,
// with every tag that was opened closed again.
void check_far(const Input& input, const std::vector<Location>& locations, const Model& m,
               int max_lines, FuzzedDataProvider& d) {
  const auto budget = d.ConsumeIntegralInRange<std::streamsize>(0, 1 << 16);
  test::Full_buf buf(budget);
  std::ostream out(&buf);
  vantel::Formatter f(out);
  int open_tags = 0;
  if (d.ConsumeBool()) {  // the underline written run by run, in tags
    vantel::Stag_functions functions;
    functions.print_open_stag = [&](const vantel::Stag&) { ++open_tags; };
    functions.print_close_stag = [&](const vantel::Stag&) { --open_tags; };
    f.set_stag_functions(std::move(functions));
    f.set_print_tags(true);
  }
  vantel::pp(input, f, locations, max_lines);
  CHECK(open_tags == 0);
  const std::string& got = buf.taken;
  if (m.lines.empty() || (m.lines.size() == 1 && m.lines.front().text.empty())) {
    CHECK(got.empty() && out.good());
  } else if (m.lines.size() == 1) {
    Wide length = 0;
    CHECK(got == single_line_prefix(m, got, got.size(), length));
    if (length >= 0) CHECK(out.bad() == (length > budget));
  } else {
    // Rows over the text's lines: short, whatever the offsets.
    Recording whole(false);
    vantel::pp(input, whole.formatter, locations, max_lines);
    const std::string all = whole.out.str();
    check_multi_line(m, whole, all, max_lines);
    CHECK(got == all.substr(0, static_cast<std::size_t>(budget)));
    CHECK(out.bad() == (static_cast<std::streamsize>(all.size()) > budget));
  }
}

// The name of a file in memory that holds `bytes`, or "" where there is none.
std::string as_file(const std::string& bytes) {
  static const int fd = ::memfd_create("fuzz_pp", MFD_CLOEXEC);
  if (fd < 0) return "";
  CHECK(::ftruncate(fd, 0) == 0);
  CHECK(::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider d(data, size);
  const Text text(d.ConsumeRandomLengthString(4096));
  const bool styled = d.ConsumeBool();
  static constexpr int row_limits[] = {INT_MIN, -1, 0, 1, 2, 3, 10, INT_MAX};
  const int max_lines = d.ConsumeBool() ? d.PickValueInArray(row_limits) : d.ConsumeIntegral<int>();

  std::vector<std::pair<Described, Described>> described;
  // Now and then many, so that set queries search more than a few intervals.
  const int count = d.ConsumeIntegralInRange(0, d.ConsumeIntegralInRange(0, 7) == 0 ? 48 : 6);
  for (int i = 0; i < count; ++i) {
    Described s = describe(d, text);
    Described e = describe(d, text);
    described.emplace_back(std::move(s), std::move(e));
  }

  const Input input = Input::string(text.bytes);
  const auto to_lexing = Position::to_lexing(input, "f");

  // Resolution on its own: offsets and records agree with the model, and so
  // do failures. pp resolves each location end first, so its first failure
  // in that order is what pp must throw.
  std::vector<Location> locations;
  std::vector<std::pair<lexing_position, lexing_position>> resolved;
  Failure first_failure = Failure::none;
  bool modest = true;
  const std::int64_t reach = 4 * text.size() + 256;
  for (const auto& [ds, de] : described) {
    locations.emplace_back(ds.build(), de.build());
    lexing_position ends[2];
    for (int which : {1, 0}) {
      const Described& desc = which == 0 ? ds : de;
      const Position& p = which == 0 ? locations.back().first : locations.back().second;
      const Resolved want = expect(text, desc);
      std::int64_t offset = 0;
      CHECK(outcome([&] { offset = Position::to_offset(input, p); }) == want.failure);
      lexing_position got;
      CHECK(outcome([&] { got = to_lexing(p); }) == want.failure);
      if (want.failure != Failure::none) {
        if (first_failure == Failure::none) first_failure = want.failure;
        continue;
      }
      lexing_position named = want.lexing;
      named.file_name = "f";
      CHECK(got == named);
      CHECK(offset == want.lexing.char_offset);
      ends[which] = want.lexing;
      if (got.char_offset < -reach || got.char_offset > reach) modest = false;
    }
    resolved.emplace_back(ends[0], ends[1]);
  }

  // An underline runs to the last highlighted offset, so far-away offsets ask
  // for that much output: those are quoted into a stream that soon refuses.
  if (first_failure == Failure::none && !modest) {
    check_far(input, locations, model(text, resolved), max_lines, d);
    return 0;
  }

  // Quoted twice, the second time through the non-throwing twin: the same
  // bytes, or the same failure with the same message, naming the input.
  std::string outputs[2];
  std::string messages[2];
  for (int k = 0; k < 2; ++k) {
    Recording r(styled);
    const Failure failure =
        k == 0
            ? outcome([&] { quote_keeping(input, r.formatter, locations, max_lines, messages[0]); })
            : twin_outcome(
                  [&](vantel::Error& e) {
                    vantel::pp(input, r.formatter, locations, max_lines, e);
                  },
                  messages[1]);
    CHECK(failure == first_failure);
    std::string& output = outputs[k];
    output = r.out.str();
    if (failure != Failure::none) {
      CHECK(output.empty());
      CHECK(messages[k].rfind("<string>: ", 0) == 0);
      continue;
    }
    const std::string plain = r.plain();
    CHECK(r.marks.size() == (styled ? r.tags.size() : 0));
    const Model m = model(text, resolved);
    if (m.lines.empty() || (m.lines.size() == 1 && m.lines.front().text.empty())) {
      CHECK(plain.empty() && r.tags.empty());
    } else if (m.lines.size() == 1) {
      check_single_line(m, r, plain);
    } else {
      check_multi_line(m, r, plain, max_lines);
    }
  }
  CHECK(outputs[0] == outputs[1]);
  CHECK(messages[0] == messages[1]);

  if (first_failure != Failure::none) return 0;
  // A shared byte buffer quotes the same, and is left as it was.
  auto buffer = std::make_shared<std::vector<char>>(text.bytes.begin(), text.bytes.end());
  {
    Recording r(styled);
    vantel::pp(Input::bytes(buffer), r.formatter, locations, max_lines);
    CHECK(r.out.str() == outputs[0]);
    CHECK(std::equal(buffer->begin(), buffer->end(), text.bytes.begin(), text.bytes.end()));
  }
  // So does a file holding the text, read through its own buffer.
  if (const std::string file = as_file(text.bytes); !file.empty()) {
    Recording r(styled);
    vantel::pp(Input::file(file), r.formatter, locations, max_lines);
    CHECK(r.out.str() == outputs[0]);
  }
  return 0;
}
