// SPDX-License-Identifier: MIT
// What quotes and reports draw alike: lines as the input holds them, one
// window, one cut marker, one row width, one way to style.
#include "draw/window.hpp"
#include "draw/wrap.hpp"
#include "full_buf.hpp"
#include "text/cluster_walk.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <ios>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::Layout;
using vantel::Position;

Layout text_layout(std::int64_t width = 0, vantel::Charset charset = vantel::Charset::Unicode) {
  Layout layout;
  layout.columns = Layout::Columns::Text;
  layout.width = width;
  layout.charset = charset;
  return layout;
}

std::string quote(const std::string& text, std::int64_t start, std::int64_t end,
                  const Layout& layout) {
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp(Input::string(text), f, {{Position::of_offset(start), Position::of_offset(end)}},
             layout);
  return out.str();
}

std::string report(const std::string& text, std::int64_t start, std::int64_t end,
                   const Layout& layout = {}, const std::string& severity = "error") {
  vantel::Report r;
  r.severity = vantel::Severity::of_word(severity);
  r.message = "m";
  r.labels.push_back(vantel::Label::primary(
      {Input::string(text), "f"}, {Position::of_offset(start), Position::of_offset(end)}));
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp_report(f, r, layout);
  return out.str();
}

// The rows of a drawing after its first `skip` ones.
std::vector<std::string> rows(const std::string& drawing, std::size_t skip = 0) {
  std::vector<std::string> all;
  std::istringstream in(drawing);
  for (std::string row; std::getline(in, row);) all.push_back(row);
  all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(skip, all.size())));
  return all;
}

// Columns of a row of ASCII text and cut markers.
std::size_t columns(const std::string& row) {
  std::size_t n = 0;
  for (const char c : row) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// A carriage return inside a line is a control like any other: the text
// layout and reports escape it and put their carets under the right cells;
// the byte layout drops it, as it always has; the one before the line feed
// is outside the line in all three.
TEST(Lines, CarriageReturnsAreEscapedInTextAndDroppedInBytes) {
  const std::string text = "ab\rcd\r\nxy\n";
  EXPECT_EQ(quote(text, 3, 4, text_layout()), "1 | ab<0x0D>cd\n            ^\n");
  EXPECT_EQ(quote(text, 3, 4, Layout{}), "1 | abcd\n       ^\n");
  EXPECT_EQ(rows(report(text, 3, 4), 3),
            (std::vector<std::string>{"1 | ab<0x0D>cd", "  |         ^"}));
}

// The first highlighted cluster is always in the window, with its carets,
// however narrow the window and however wide the cluster.
TEST(Window, AlwaysHoldsTheFirstHighlightedCluster) {
  const struct {
    std::string text;
    std::int64_t start, end, width;
    std::vector<std::string> expected;
    std::string cluster;  // the first highlighted one, as shown
  } cases[] = {
      {std::string(20, 'x') + " abcdefghi\xE4\xB8\xAD yyyy",
       21,
       33,
       16,
       {"1 | \xE2\x80\xA6x abcdefgh\xE2\x80\xA6", "       ^^^^^^^^\xE2\x80\xA6"},
       "a"},
      {"\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97",
       3,
       6,
       7,
       {"1 | \xE2\x80\xA6\xE6\x96\x87\xE2\x80\xA6", "     ^^"},
       "\xE6\x96\x87"},
      {"abcdefghij\tx",
       10,
       12,
       11,
       {"1 | \xE2\x80\xA6      \xE2\x80\xA6", "     ^^^^^^\xE2\x80\xA6"},
       "      "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rows(quote(c.text, c.start, c.end, text_layout(c.width))), c.expected) << c.text;
    // The report keeps the labelled cluster too, in a window one column wide.
    const std::vector<std::string> drawn = rows(report(c.text, c.start, c.end, text_layout(1)));
    const auto line = std::find_if(drawn.begin(), drawn.end(),
                                   [](const std::string& row) { return row.rfind("1 |", 0) == 0; });
    ASSERT_TRUE(line != drawn.end() && line + 1 != drawn.end());
    EXPECT_NE(line->find(c.cluster), std::string::npos) << *line;
    EXPECT_NE(line[1].find('^'), std::string::npos) << line[1];
  }
}

// Given a width, no row of a quote or a report is wider, line number,
// margin and cut markers counted, in either charset.
TEST(Width, CountsTheWholeRowInQuotesAndReports) {
  const std::string line = std::string(300, 'a') + " target " + std::string(300, 'b') + "\n";
  for (const auto charset : {vantel::Charset::Unicode, vantel::Charset::Ascii}) {
    for (std::int64_t width = 12; width <= 80; width += 17) {
      const Layout layout = text_layout(width, charset);
      std::vector<std::string> drawn = rows(quote(line, 301, 307, layout));
      for (const std::string& row : rows(report(line, 301, 307, layout), 1)) drawn.push_back(row);
      for (const std::string& row : drawn) {
        EXPECT_LE(columns(row), static_cast<std::size_t>(width)) << row;
        if (charset != vantel::Charset::Ascii) continue;
        for (const char c : row) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << row;
      }
    }
  }
}

// Messages and notes of a report wrap at spaces to stay within the width;
// their further rows keep the margin, the lanes and the connectors. Place
// rows stay whole, for terminals and editors to find.
TEST(Width, WrapsAReportsMessagesAndNotes) {
  const std::string words = "the quick brown fox jumps over the lazy dog and runs away";
  const vantel::Source source(Input::string("let a = b + c\nlet d = e\n"), "a/long/path/name.calc");
  vantel::Report r;
  r.message = words;
  r.labels.push_back(
      vantel::Label::primary(source, {Position::of_offset(8), Position::of_offset(9)}, words));
  r.labels.push_back(
      vantel::Label::secondary(source, {Position::of_offset(12), Position::of_offset(13)}, words));
  r.labels.push_back(
      vantel::Label::secondary(source, {Position::of_offset(4), Position::of_offset(19)}, words));
  r.notes.push_back({"note", words + "\n" + words});
  for (std::int64_t width = 24; width <= 64; width += 20) {
    std::ostringstream out;
    vantel::Formatter f(out);
    vantel::pp_report(f, r, text_layout(width));
    std::string joined;
    for (const std::string& row : rows(out.str())) {
      // A place row is never broken.
      if (row.rfind(" --> ", 0) != 0) {
        EXPECT_LE(columns(row), static_cast<std::size_t>(width)) << row;
      }
      EXPECT_NE(row.back(), ' ') << row;
      joined += row + "\n";
    }
    // Every word is drawn; the picture at one width pins the layout.
    EXPECT_NE(joined.find("away"), std::string::npos);
    if (width != 44) continue;
    EXPECT_EQ(joined, R"(error: the quick brown fox jumps over the
       lazy dog and runs away
 --> a/long/path/name.calc:1:9
  |
1 |   let a = b + c
  |           ^   -
  |           |   |
  |           |   the quick brown fox jumps
  |           |   over the lazy dog and runs
  |           |   away
  |           the quick brown fox jumps over
  |           the lazy dog and runs away
  |  _____-
2 | | let d = e
  | |_____- the quick brown fox jumps over
  |         the lazy dog and runs away
  |
  = note: the quick brown fox jumps over the
          lazy dog and runs away
          the quick brown fox jumps over the
          lazy dog and runs away
)");
  }
}

TEST(Window, PlacesAQuarterBeforeTheHighlightAndKeepsItsFirstCell) {
  using vantel::detail::place_window;
  vantel::detail::Window_need need;
  need.row_width = 100;
  need.width = 20;
  need.first = 50;
  need.first_end = 51;
  need.last_end = 55;
  EXPECT_EQ(place_window(need)->from, 45);  // a quarter before
  need.row_width = 60;
  EXPECT_EQ(place_window(need)->from, 40);  // the row ends within the window
  need.row_width.reset();
  need.first_end = need.last_end = 80;  // one cell wider than the window
  EXPECT_EQ(place_window(need)->from, 50);
  EXPECT_EQ(place_window(need)->to, 80);
  need.row_width = 20;
  need.first.reset();
  EXPECT_FALSE(place_window(need));  // the whole row fits
}

// A report's window keeps its lead when the row ends within it, leaving the
// room on the right to the messages; a quote's fills it with text.
TEST(Window, AReportsWindowKeepsTheRoomRightOfItsMarks) {
  using vantel::detail::place_window;
  vantel::detail::Window_need need;
  need.row_width = 150;
  need.width = 128;
  need.first = 140;
  need.first_end = 141;
  need.last_end = 145;
  EXPECT_EQ(place_window(need)->from, 22);
  need.fill = false;
  EXPECT_EQ(place_window(need)->from, 108);  // the marks at a quarter of the width
  EXPECT_EQ(place_window(need)->to, 236);
}

// Pieces break after spaces and never inside a word: one wider than the room
// takes a piece of its own rather than being cut.
TEST(Wrap, BreaksAtSpacesNeverInsideAWord) {
  struct Case {
    const char* text;
    std::int64_t room;
    std::vector<std::string> pieces;
  };
  const std::vector<Case> cases = {
      {"variable does not need", 8, {"variable", "does not", "need"}},
      {"a verylongword b", 4, {"a", "verylongword", "b"}},
      {"verylongword", 4, {"verylongword"}},
      {"ab   cd", 2, {"ab", "cd"}},
      {"no room asked", 0, {"no room asked"}},
      {"名前 は 長い", 4, {"名前", "は", "長い"}},
  };
  for (const Case& c : cases) {
    const std::string text = c.text;
    std::int64_t width = 0;
    vantel::detail::Cluster_walk walk(text, 1);
    for (vantel::detail::Cluster cluster; walk.next(cluster);) width = walk.column();
    std::vector<std::string> got;
    for (const auto& piece : vantel::detail::wrap_shown(text, width, c.room))
      got.emplace_back(piece.text);
    EXPECT_EQ(got, c.pieces) << c.text;
  }
}

// A report of one label, drawn in the ready terminal theme.
std::string in_ansi_theme(const std::string& text, std::int64_t start, std::int64_t end,
                          const std::string& severity) {
  vantel::Report r;
  r.severity = vantel::Severity::of_word(severity);
  r.labels.push_back(vantel::Label::primary(
      {Input::string(text), "f"}, {Position::of_offset(start), Position::of_offset(end)}));
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::setup_tags(f, vantel::Styles::ansi());
  vantel::pp_report(f, r);
  return out.str();
}

// The ready theme colours a report's primary underlines after its severity,
// with no cast in the handlers (this file builds with -fno-rtti as well).
TEST(Styles, AnsiThemeColoursPrimaryUnderlinesBySeverity) {
  for (const auto& [severity, colour] : std::vector<std::pair<std::string, std::string>>{
           {"error", "\x1b[1;31m"}, {"warning", "\x1b[1;33m"}, {"lint", "\x1b[1m"}}) {
    const std::string out = in_ansi_theme("ab\n", 0, 1, severity);
    EXPECT_EQ(out.substr(0, colour.size()), colour);
    EXPECT_NE(out.find(colour + "^\x1b[0m"), std::string::npos) << out;
  }
  // Escaped forms are dimmed in a report's lines as in quotes.
  const std::string out = in_ansi_theme("a\x1b b\n", 3, 4, "error");
  EXPECT_NE(out.find("a\x1b[2m<0x1B>\x1b[22m b"), std::string::npos) << out;
}

// Whichever byte a stream throws at, a report leaves no tag of its own open
// inside the host's.
TEST(Styles, AThrowingStreamLeavesNoReportTagOpen) {
  vantel::Report r;
  r.code = "E1";
  r.message = "message";
  const vantel::Source source(Input::string("let a = b\n\tc\xE4\xB8\xAD\x1b d\n"), "f");
  r.labels.push_back(
      vantel::Label::primary(source, {Position::of_offset(8), Position::of_offset(9)}, "here"));
  r.labels.push_back(
      vantel::Label::secondary(source, {Position::of_offset(4), Position::of_offset(13)}, "and"));
  r.notes.push_back({"note", "a\nb"});
  for (std::streamsize budget = 0; budget < 300; ++budget) {
    test::Full_buf buf(budget);
    std::ostream out(&buf);
    out.exceptions(std::ios_base::badbit);
    vantel::Formatter f(out);
    vantel::setup_tags(f, vantel::Styles::ansi());
    const vantel::Stag host{"host"};
    f.open_stag(host);
    try {
      vantel::pp_report(f, r, text_layout(12));
    } catch (const std::ios_base::failure&) {
    }
    std::ostringstream after;
    out.rdbuf(after.rdbuf());
    out.clear();
    vantel::Stag_functions names;
    names.mark_close_stag = [](const vantel::Stag& t) { return "</" + t.name() + ">"; };
    f.set_stag_functions(names);
    f.close_stag();
    EXPECT_EQ(after.str(), "</host>") << budget;
  }
}

}  // namespace

namespace {

struct Refusal {
  int late_tags = 0;  // tags opened after the stream failed
  int refused_calls = 0;
};

// Draws on a stream that takes 100 bytes, then refuses.
template <class Draw>
Refusal draw_until_refused(const Draw& draw) {
  test::Full_buf buf(100);
  std::ostream out(&buf);
  vantel::Formatter f(out);
  Refusal refusal;
  vantel::Stag_functions counting;
  counting.print_open_stag = [&](const vantel::Stag&) { refusal.late_tags += out.bad() ? 1 : 0; };
  f.set_stag_functions(std::move(counting));
  f.set_print_tags(true);
  draw(f);
  refusal.refused_calls = buf.refused_calls;
  return refusal;
}

// A stream that stops taking bytes stops the report: with thousands of
// labels on one line, no tag opens and nothing is tried after the first
// refusal.
TEST(Styles, AReportStopsOnceItsStreamHasFailed) {
  const vantel::Source source(Input::string(std::string(20000, 'x') + "\n"), "f");
  vantel::Report r;
  for (std::int64_t at = 0; at < 20000; at += 2)
    r.labels.push_back(vantel::Label::secondary(
        source, {Position::of_offset(at), Position::of_offset(at + 1)}, "m"));
  const Refusal refusal =
      draw_until_refused([&](vantel::Formatter& f) { vantel::pp_report(f, r); });
  EXPECT_EQ(refusal.late_tags, 0);
  EXPECT_EQ(refusal.refused_calls, 1);
}

// The text layout's rows go through the same writer: the same holds.
TEST(Styles, ATextQuoteStopsOnceItsStreamHasFailed) {
  const std::string text = std::string(20000, 'x') + "\n";
  std::vector<vantel::Location> locations;
  for (std::int64_t at = 0; at < 20000; at += 2)
    locations.emplace_back(Position::of_offset(at), Position::of_offset(at + 1));
  const Refusal refusal = draw_until_refused(
      [&](vantel::Formatter& f) { vantel::pp(Input::string(text), f, locations, text_layout()); });
  EXPECT_EQ(refusal.late_tags, 0);
  EXPECT_EQ(refusal.refused_calls, 1);
}

}  // namespace

namespace {

// Past a number of labels on one line, a report draws the first ones by
// column and says how many more there are.
TEST(Labels, PastTheLimitOnALineTheRestAreCounted) {
  const vantel::Source source(Input::string(std::string(300, 'x') + "\n"), "f");
  vantel::Report r;
  for (std::int64_t at = 298; at >= 0; at -= 2)  // 150, given right to left
    r.labels.push_back(vantel::Label::secondary(
        source, {Position::of_offset(at), Position::of_offset(at + 1)}, std::to_string(at)));
  const struct {
    std::int64_t most;
    std::size_t messages;
    std::string last_row;
  } cases[] = {
      {vantel::default_max_labels_per_line, 100, "  | \xE2\x80\xA6 50 more labels on this line"},
      {149, 149, "  | \xE2\x80\xA6 1 more label on this line"},
      {0, 150, "  | 0"}};
  for (const auto& c : cases) {
    Layout layout;
    layout.report.max_labels_per_line = c.most;
    std::ostringstream out;
    vantel::Formatter f(out);
    vantel::pp_report(f, r, layout);
    const std::vector<std::string> drawn = rows(out.str());
    EXPECT_EQ(drawn.back(), c.last_row);
    // The leftmost labels are the ones drawn.
    EXPECT_NE(out.str().find("| 0\n"), std::string::npos);
    std::size_t messages = 0;
    for (const std::string& row : drawn)
      messages += row.find_last_of("0123456789") == row.size() - 1 && row.rfind("1 |", 0) != 0 &&
                  row.rfind(" -->", 0) != 0;
    EXPECT_EQ(messages, c.messages) << c.most;
  }
}

}  // namespace
