// SPDX-License-Identifier: MIT
// Quotes fuzzer-chosen text in the text layout and checks the output, its
// tag texts taken out:
//   - no control byte but the line feed reaches it;
//   - each row shows consecutive clusters of its line, no wider than the
//     width asked for (unless the row is one cluster), with a marker on each
//     side that was cut;
//   - the carets stand exactly under the highlighted clusters, and a marker
//     says where highlighted cells were cut away;
// that printable ASCII, uncut, is quoted as the byte layout quotes it, and
// that a line sliced for its window, as long lines are, quotes as one read
// whole.
#include <vantel/vantel.hpp>
#include "draw/line_slice.hpp"
#include "fuzz_check.hpp"
#include "text/cluster_walk.hpp"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using fuzz::max64;
using fuzz::Wide;
using vantel::Layout;
using vantel::detail::Cluster;
using vantel::detail::Cluster_walk;

constexpr std::string_view marker = "\xE2\x80\xA6";
constexpr std::string_view dim_on = "\x1b[2m";
constexpr std::string_view dim_off = "\x1b[22m";

// Pieces that make text worth quoting, and any byte now and then.
std::string make_text(FuzzedDataProvider& d) {
  static const char* const pieces[] = {"a",
                                       "b",
                                       " ",
                                       "\t",
                                       "\n",
                                       "\r\n",
                                       "x = 1;",
                                       "\xe4\xb8\xad",
                                       "e\xcc\x81",
                                       "\xcc\x81",
                                       "\xe2\x80\x8d",
                                       "\xef\xb8\x8f",
                                       "\xf0\x9f\x91\xa8",
                                       "\xf0\x9f\x87\xab",
                                       "\x1b[31m",
                                       "\x7f",
                                       "\xc2\x85",
                                       "\xe2\x80\xae",
                                       "\xe2\x81\xa6",
                                       "\xff",
                                       "\xe4\xb8",
                                       "\xc0\xaf",
                                       "\xed\xa0\x80",
                                       "\xe2\x98\xba"};
  std::string text;
  const std::size_t n = d.ConsumeIntegralInRange<std::size_t>(0, 96);
  for (std::size_t i = 0; i < n && d.remaining_bytes() > 0; ++i) {
    if (d.ConsumeIntegralInRange(0, 5) == 0)
      text.push_back(static_cast<char>(d.ConsumeIntegral<unsigned char>()));
    else
      text += d.PickValueInArray(pieces);
  }
  return text;
}

struct Span {
  Wide first;
  Wide last;  // inclusive
};

bool lit(const std::vector<Span>& spans, Wide first, Wide last) {
  return std::any_of(spans.begin(), spans.end(),
                     [&](const Span& s) { return s.first <= last && first <= s.last; });
}

struct Line {
  std::string text;  // carriage returns dropped
  std::int64_t start;
};

// The lines a quote reads: from `line_start`, each to its line feed, while
// the line being started begins before `end`.
std::vector<Line> gather(const std::string& t, std::int64_t line_start, Wide end) {
  std::vector<Line> lines;
  const auto len = static_cast<std::int64_t>(t.size());
  std::int64_t begin = line_start;
  std::int64_t pos = line_start;
  std::string pending;
  while (line_start < len && begin < end) {
    if (pos >= len) {
      if (begin < pos) lines.push_back({pending, begin});
      break;
    }
    const char c = t[static_cast<std::size_t>(pos++)];
    if (c == '\n') {
      lines.push_back({pending, begin});
      pending.clear();
      begin = pos;
    } else if (c != '\r' || pos >= len || t[static_cast<std::size_t>(pos)] != '\n') {
      // Only the carriage return right before a line feed is outside the line.
      pending.push_back(c);
    }
  }
  return lines;
}

// A line's clusters, and which of them are highlighted.
struct Model_line {
  std::string text;
  Wide start;
  std::vector<Cluster> clusters;
  std::vector<bool> lit;
};

Model_line model_line(const Line& line, const std::vector<Span>& spans, int tab_width) {
  Model_line m{line.text, line.start, {}, {}};
  Cluster_walk walk(m.text, tab_width);
  for (Cluster c; walk.next(c);) {
    m.clusters.push_back(c);
    m.lit.push_back(lit(spans, m.start + c.begin, m.start + c.end - 1));
  }
  return m;
}

bool starts_with(std::string_view s, std::string_view p) {
  return s.substr(0, p.size()) == p;
}
bool ends_with(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

// Whether `carets`, the caret row under a window opening with cluster i,
// has a caret exactly under each highlighted cell it reaches, one column per
// offset past the text, and markers where highlighted cells were cut away.
bool carets_under(const Model_line& m, std::size_t i, bool left, std::string_view row,
                  const std::vector<Span>& spans, std::int64_t max_width) {
  bool carets_left = false;
  if (left) {
    carets_left = starts_with(row, marker);
    if (!carets_left && (row.empty() || row.front() != ' ')) return false;
    row.remove_prefix(carets_left ? marker.size() : 1);
  }
  const bool carets_right = ends_with(row, marker);
  if (carets_right) {
    row.remove_suffix(marker.size());
    while (!row.empty() && row.back() == ' ') row.remove_suffix(1);
  }
  if (!row.empty() && row.back() != '^') return false;  // no trailing spaces
  if (row.find_first_not_of(" ^") != std::string_view::npos) return false;

  std::string want;
  std::size_t k = i;
  for (; k < m.clusters.size() && want.size() < row.size(); ++k)
    want.append(static_cast<std::size_t>(m.clusters[k].width), m.lit[k] ? '^' : ' ');
  Wide offset = m.start + static_cast<Wide>(m.text.size());
  for (; want.size() < row.size(); ++offset) want.push_back(lit(spans, offset, offset) ? '^' : ' ');
  if (want != row) return false;
  if (max_width > 0 && i < m.clusters.size() &&
      static_cast<std::int64_t>(row.size()) > std::max(max_width, m.clusters[i].width))
    return false;

  bool before = false;
  for (std::size_t b = 0; b < i; ++b) before = before || m.lit[b];
  bool after = false;
  for (std::size_t a = k; a < m.clusters.size(); ++a) after = after || m.lit[a];
  for (const Span& s : spans) after = after || s.last >= offset;
  return carets_left == before && carets_right == after;
}

// Whether a row's content shows consecutive cells of its line from some
// cluster, cut where it says it is; with `carets`, whether the caret row
// under it stands under the highlighted ones.
bool explains(const Model_line& m, std::string_view content, bool dotted, const std::string* carets,
              const std::vector<Span>& spans, std::int64_t max_width) {
  const bool left = starts_with(content, marker);
  if (left) content.remove_prefix(marker.size());
  const bool right = ends_with(content, marker);
  if (right) content.remove_suffix(marker.size());
  const std::size_t n = m.clusters.size();
  // Cut on the left, the window opens after the first cluster, or past
  // the text when the line has none.
  for (std::size_t i = left ? std::min<std::size_t>(1, n) : 0; i <= (left ? n : 0); ++i) {
    std::string shown;
    std::size_t j = i;
    for (; j < n && shown.size() < content.size(); ++j) {
      const Cluster& c = m.clusters[j];
      if (dotted && !m.lit[j])
        shown.append(static_cast<std::size_t>(c.width), '.');
      else
        shown += c.shown(m.text);
    }
    if (shown != content || right != (j < n)) continue;
    if (max_width > 0 && j > i + 1 &&
        m.clusters[j - 1].column + m.clusters[j - 1].width - m.clusters[i].column > max_width)
      continue;
    // A window past the text shows no cluster to place its carets by.
    if (carets == nullptr || (i == n && left)) return true;
    if (carets_under(m, i, left, *carets, spans, max_width)) return true;
  }
  return false;
}

std::string quote(const std::string& text, const std::vector<vantel::Location>& locations,
                  const Layout& display, bool tagged) {
  std::ostringstream out;
  vantel::Formatter f(out);
  if (tagged) {
    const vantel::Tag_handlers dim{[] { return std::string(dim_on); },
                                   [] { return std::string(dim_off); }};
    vantel::setup_highlight_tags(f, dim);
    vantel::Styles styles;
    styles.escaped = {std::string(dim_on), std::string(dim_off)};
    styles.cut_marker = styles.escaped;
    vantel::setup_tags(f, styles);
  }
  vantel::pp(vantel::Input::string(text), f, locations, display);
  return out.str();
}

std::string without_marks(std::string s) {
  for (const std::string_view mark : {dim_on, dim_off})
    for (std::size_t at; (at = s.find(mark)) != std::string::npos;) s.erase(at, mark.size());
  return s;
}

std::vector<std::string> rows_of(const std::string& out) {
  std::vector<std::string> rows;
  std::size_t from = 0;
  while (from < out.size()) {
    const std::size_t lf = out.find('\n', from);
    CHECK(lf != std::string::npos);  // every row ends with a cut
    rows.push_back(out.substr(from, lf - from));
    from = lf + 1;
  }
  return rows;
}

// The columns before a row's text ("10 | "), as a quote in a wide row shows
// them: a location past the last line has no number.
std::int64_t gutter_of(const std::string& text, const std::vector<vantel::Location>& locations,
                       Layout layout) {
  layout.width = 4096;
  const std::string out = quote(text, locations, layout, false);
  const std::size_t bar = out.find(" | ");
  return bar == std::string::npos ? 0 : static_cast<std::int64_t>(bar) + 3;
}

}  // namespace

void dump(const std::string& text, const std::vector<Span>& spans, const Layout& d,
          const std::string& out) {
  if (std::getenv("FUZZ_TEXT_DUMP") == nullptr) return;
  std::fprintf(stderr, "tab %d width %lld points %d\ntext:", d.tab_width,
               static_cast<long long>(d.width), d.show_points);
  for (const char c : text) std::fprintf(stderr, " %02x", static_cast<unsigned char>(c));
  std::fprintf(stderr, "\nspans:");
  for (const Span& s : spans)
    std::fprintf(stderr, " [%lld, %lld]", static_cast<long long>(s.first),
                 static_cast<long long>(s.last));
  std::fprintf(stderr, "\nout:\n%s--\n", out.c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider d(data, size);
  Layout display;
  display.columns = Layout::Columns::Text;
  display.tab_width = d.ConsumeIntegralInRange(1, 16);
  // The checks reason about the window: the text's columns on a row.
  const std::int64_t max_width =
      d.ConsumeBool() ? 0 : d.ConsumeIntegralInRange<std::int64_t>(1, 100);
  display.show_points = d.ConsumeBool();
  const std::string text = make_text(d);
  const auto len = static_cast<std::int64_t>(text.size());

  std::vector<vantel::Location> locations;
  std::vector<Span> spans;
  const int count = d.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    const std::int64_t s = d.ConsumeIntegralInRange<std::int64_t>(0, len + 2);
    std::int64_t e = d.ConsumeIntegralInRange<std::int64_t>(0, len + 2);
    // An endless run, which only a window bounds.
    if (max_width > 0 && d.ConsumeIntegralInRange(0, 7) == 0) e = max64;
    locations.push_back({vantel::Position::of_offset(s), vantel::Position::of_offset(e)});
    if (s < e) spans.push_back({s, Wide{e} - 1});
    if (s == e && display.show_points) spans.push_back({s, s});
  }

  if (max_width > 0)  // a marker a side
    display.width = max_width + gutter_of(text, locations, display) + 2;
  const std::string out = quote(text, locations, display, false);
  // Lines sliced for their window, as long ones are, quote as read whole.
  std::atomic<std::size_t>& above = vantel::detail::slice_above();
  const std::size_t usual = above.exchange(0);
  const std::string sliced = quote(text, locations, display, false);
  above.store(usual);
  if (sliced != out) {
    std::fprintf(stderr, "read whole:\n%s--\nsliced:\n%s--\ntab %d max %lld text:", out.c_str(),
                 sliced.c_str(), display.tab_width, static_cast<long long>(max_width));
    for (const char c : text) std::fprintf(stderr, " %02x", static_cast<unsigned char>(c));
    for (const auto& l : locations)
      std::fprintf(
          stderr, "\n%lld..%lld",
          static_cast<long long>(vantel::Position::to_offset(vantel::Input::string(text), l.first)),
          static_cast<long long>(
              vantel::Position::to_offset(vantel::Input::string(text), l.second)));
    std::fprintf(stderr, "\n");
  }
  CHECK(sliced == out);
  CHECK(without_marks(quote(text, locations, display, true)) == out);
  for (const char c : out) CHECK(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f));

  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7f); });
  if (ascii && max_width == 0) {
    Layout bytes;
    bytes.show_points = display.show_points;
    CHECK(quote(text, locations, bytes, false) == out);
  }

  // The lines quoted: from the line of the first highlighted offset to the
  // one holding the last.
  if (spans.empty()) return 0;
  Wide first = spans.front().first;
  Wide end = spans.front().last + 1;
  for (const Span& s : spans) {
    first = std::min(first, s.first);
    end = std::max(end, s.last + 1);
  }
  std::int64_t line_start = 0;
  for (std::int64_t k = 0; k < len && k < first; ++k)
    if (text[static_cast<std::size_t>(k)] == '\n') line_start = k + 1;
  std::vector<Line> lines = gather(text, line_start, end);
  if (lines.empty() && display.show_points && line_start == len) lines.push_back({"", line_start});

  const std::vector<std::string> rows = rows_of(out);
  dump(text, spans, display, out);
  if (lines.size() == 1 && (!lines.front().text.empty() || display.show_points)) {
    CHECK(rows.size() == 2);
    const std::size_t bar = rows[0].find(" | ");
    CHECK(bar != std::string::npos);
    const std::string carets = rows[1].substr(std::min(rows[1].size(), bar + 3));
    const Model_line m = model_line(lines.front(), spans, display.tab_width);
    CHECK(explains(m, std::string_view(rows[0]).substr(bar + 3), false, &carets, spans, max_width));
    // However narrow the window, the first highlighted cluster is in it, with
    // its carets: none was cut on the left of the caret row.
    if (std::find(m.lit.begin(), m.lit.end(), true) != m.lit.end()) {
      CHECK(carets.find('^') != std::string::npos);
      CHECK(!starts_with(carets, marker));
    }
  } else if (lines.size() >= 2) {
    // Ten rows at most: five, "...", the last four.
    const std::size_t n = lines.size();
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < n; ++i)
      if (n <= 10 || i < 5 || i >= n - 4) shown.push_back(i);
    CHECK(rows.size() == shown.size() + (n > 10 ? 1 : 0));
    std::size_t r = 0;
    for (const std::size_t i : shown) {
      if (n > 10 && i == n - 4) CHECK(rows[r++] == "...");
      const std::size_t bar = rows[r].find(" | ");
      CHECK(bar != std::string::npos);
      const Model_line m = model_line(lines[i], spans, display.tab_width);
      CHECK(
          explains(m, std::string_view(rows[r]).substr(bar + 3), true, nullptr, spans, max_width));
      ++r;
    }
  } else {
    CHECK(out.empty());
  }
  return 0;
}
