// What quotes and reports draw alike: lines as the input holds them, one
// window, one cut marker, one row width, one way to style.
#include "draw/window.hpp"
#include "full_buf.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

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
  r.severity = severity;
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
    // The report keeps the labelled cluster too.
    const std::vector<std::string> drawn = rows(report(c.text, c.start, c.end, text_layout(1)), 3);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_NE(drawn[0].find(c.cluster), std::string::npos) << drawn[0];
    EXPECT_NE(drawn[1].find('^'), std::string::npos) << drawn[1];
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

// The ready theme colours a report's primary underlines after its severity,
// with no cast in the handlers (this file builds with -fno-rtti as well).
TEST(Styles, AnsiThemeColoursPrimaryUnderlinesBySeverity) {
  for (const auto& [severity, colour] : std::vector<std::pair<std::string, std::string>>{
           {"error", "\x1b[1;31m"}, {"warning", "\x1b[1;33m"}, {"lint", "\x1b[1m"}}) {
    vantel::Report r;
    r.severity = severity;
    r.labels.push_back(vantel::Label::primary({Input::string("ab\n"), "f"},
                                              {Position::of_offset(0), Position::of_offset(1)}));
    std::ostringstream out;
    vantel::Formatter f(out);
    vantel::setup_tags(f, vantel::Styles::ansi());
    vantel::pp_report(f, r);
    EXPECT_EQ(out.str().substr(0, colour.size()), colour);
    EXPECT_NE(out.str().find(colour + "^\x1b[0m"), std::string::npos) << out.str();
  }
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
