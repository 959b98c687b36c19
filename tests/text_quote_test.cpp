// SPDX-License-Identifier: MIT
// The text layout: display columns, escaped forms, windows and points.
#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using vantel::Layout;

struct Span {
  std::int64_t start;
  std::int64_t end;
};

// The text layout whose window holds `text_columns` columns of a line
// numbered with one digit: the row adds "1 | " and a cut marker on each side.
Layout text_layout(std::int64_t text_columns = 0, int tab_width = 8) {
  Layout d;
  d.columns = Layout::Columns::Text;
  d.width = text_columns > 0 ? text_columns + 6 : text_columns;
  d.tab_width = tab_width;
  return d;
}

Layout with_points(Layout d) {
  d.show_points = true;
  return d;
}

// What pp prints; with `tagged`, carets are marked [ ], escaped forms { } and
// cut markers ( ).
std::string quote(const std::string& text, const std::vector<Span>& spans, const Layout& display,
                  bool tagged = false) {
  std::ostringstream out;
  vantel::Formatter f(out);
  if (tagged) {
    vantel::Styles styles;
    styles.primary = {"[", "]"};
    styles.escaped = {"{", "}"};
    styles.cut_marker = {"(", ")"};
    vantel::setup_tags(f, styles);
  }
  std::vector<vantel::Location> locations;
  for (const Span& s : spans)
    locations.push_back({vantel::Position::of_offset(s.start), vantel::Position::of_offset(s.end)});
  vantel::pp(vantel::Input::string(text), f, locations, display);
  return out.str();
}

struct Picture {
  const char* name;
  std::string text;
  std::vector<Span> spans;
  Layout display;
  std::string expected;
};

void PrintTo(const Picture& p, std::ostream* os) {
  *os << p.name;
}

class Text_layout : public testing::TestWithParam<Picture> {};

TEST_P(Text_layout, Draws) {
  const Picture& p = GetParam();
  EXPECT_EQ(quote(p.text, p.spans, p.display), p.expected);
}

std::string name_of(const testing::TestParamInfo<Picture>& param) {
  return param.param.name;
}

// Tab stops every 4 columns; each quote highlights the tab and the X.
INSTANTIATE_TEST_SUITE_P(Tabs, Text_layout,
                         testing::Values(Picture{"at_column_0",
                                                 "\tX",
                                                 {{0, 2}},
                                                 text_layout(0, 4),
                                                 R"(1 |     X
    ^^^^^
)"},
                                         Picture{"at_column_1",
                                                 "a\tX",
                                                 {{1, 3}},
                                                 text_layout(0, 4),
                                                 R"(1 | a   X
     ^^^^
)"},
                                         Picture{"at_column_2",
                                                 "ab\tX",
                                                 {{2, 4}},
                                                 text_layout(0, 4),
                                                 R"(1 | ab  X
      ^^^
)"},
                                         Picture{"at_column_3",
                                                 "abc\tX",
                                                 {{3, 5}},
                                                 text_layout(0, 4),
                                                 R"(1 | abc X
       ^^
)"},
                                         Picture{"at_column_4",
                                                 "abcd\tX",
                                                 {{4, 6}},
                                                 text_layout(0, 4),
                                                 R"(1 | abcd    X
        ^^^^^
)"}),
                         name_of);

INSTANTIATE_TEST_SUITE_P(Clusters, Text_layout,
                         testing::Values(Picture{"cjk_takes_two_columns",
                                                 "x = \"中文\" + 1",
                                                 {{5, 8}},
                                                 text_layout(),
                                                 R"(1 | x = "中文" + 1
         ^^
)"},
                                         Picture{"combining_mark_stays_with_its_letter",
                                                 "café = 2",
                                                 {{0, 5}},
                                                 text_layout(),
                                                 R"(1 | café = 2
    ^^^^
)"},
                                         Picture{"zwj_sequence_is_one_emoji",
                                                 "f(👨‍👩‍👧) + y",
                                                 {{2, 20}, {23, 24}},
                                                 text_layout(),
                                                 R"(1 | f(👨‍👩‍👧) + y
      ^^   ^
)"},
                                         Picture{"start_inside_a_cluster_takes_it_whole",
                                                 "a中b",
                                                 {{2, 3}},
                                                 text_layout(),
                                                 R"(1 | a中b
     ^^
)"},
                                         Picture{"end_inside_a_cluster_takes_it_whole",
                                                 "a中b",
                                                 {{3, 5}},
                                                 text_layout(),
                                                 R"(1 | a中b
     ^^^
)"},
                                         Picture{"mark_alone_highlights_its_cluster",
                                                 "xéy",
                                                 {{2, 3}},
                                                 text_layout(),
                                                 R"(1 | xéy
     ^
)"}),
                         name_of);

INSTANTIATE_TEST_SUITE_P(Escaped, Text_layout,
                         testing::Values(Picture{"invalid_bytes",
                                                 "s = \"\xff\xfe\" ok",
                                                 {{5, 7}},
                                                 text_layout(),
                                                 R"(1 | s = "<0xFF><0xFE>" ok
         ^^^^^^^^^^^^
)"},
                                         Picture{"truncated_sequence_at_the_end_of_the_line",
                                                 "tail \xe4\xb8",
                                                 {{5, 6}},
                                                 text_layout(),
                                                 R"(1 | tail <0xE4><0xB8>
         ^^^^^^
)"},
                                         Picture{"escape_sequence",
                                                 "print(\"\x1b[2J\")",
                                                 {{7, 8}},
                                                 text_layout(),
                                                 R"(1 | print("<0x1B>[2J")
           ^^^^^^
)"},
                                         Picture{"bidi_controls",
                                                 "if (admin\u202e \u2066) {",
                                                 {{9, 12}},
                                                 text_layout(),
                                                 R"(1 | if (admin<U+202E> <U+2066>) {
             ^^^^^^^^
)"},
                                         Picture{"del_and_c1_controls",
                                                 "a\x7f"
                                                 "b\u0085c",
                                                 {{0, 6}},
                                                 text_layout(),
                                                 R"(1 | a<0x7F>b<U+0085>c
    ^^^^^^^^^^^^^^^^^
)"}),
                         name_of);

const std::string sum = "let total = price * quantity + shipping - discount;\n";

INSTANTIATE_TEST_SUITE_P(Windows, Text_layout,
                         testing::Values(Picture{"at_the_start",
                                                 sum,
                                                 {{4, 9}},
                                                 text_layout(24),
                                                 R"(1 | let total = price * quan…
        ^^^^^
)"},
                                         Picture{"in_the_middle",
                                                 sum,
                                                 {{20, 28}},
                                                 text_layout(24),
                                                 R"(1 | …ice * quantity + shippin…
           ^^^^^^^^
)"},
                                         Picture{"at_the_end",
                                                 sum,
                                                 {{42, 50}},
                                                 text_layout(24),
                                                 R"(1 | …y + shipping - discount;
                    ^^^^^^^^
)"},
                                         Picture{"runs_too_far_apart_keep_the_first",
                                                 sum,
                                                 {{4, 9}, {42, 50}},
                                                 text_layout(24),
                                                 R"(1 | let total = price * quan…
        ^^^^^               …
)"},
                                         Picture{"endless_run",
                                                 sum,
                                                 {{20, INT64_MAX}},
                                                 text_layout(24),
                                                 R"(1 | …ice * quantity + shippin…
           ^^^^^^^^^^^^^^^^^^…
)"},
                                         Picture{"first_cluster_wider_than_the_window",
                                                 "b👨\u2066",
                                                 {{5, INT64_MAX}},
                                                 text_layout(6),
                                                 R"(1 | …<U+2066>
     ^^^^^^^^…
)"},
                                         Picture{"carets_cut_with_the_cluster_after_the_window",
                                                 "xxx\x03yy",
                                                 {{1, 1}, {3, 3}},
                                                 with_points(text_layout(2)),
                                                 R"(1 | …xx…
     ^ …
)"},
                                         Picture{"indenting_tab_kept_when_the_window_starts_in_it",
                                                 "\tx = " + std::string(30, 'y') + ";",
                                                 {{1, 2}},
                                                 text_layout(24),
                                                 R"(1 |         x = yyyyyyyyyyyy…
            ^
)"},
                                         // Past a line wider than its bytes, the
                                         // columns of the last offsets overflow 64 bits.
                                         Picture{"past_the_text_near_the_last_offset",
                                                 "\t中\t中",
                                                 {{INT64_MAX - 4, INT64_MAX - 1}},
                                                 text_layout(12),
                                                 " | …\n              ^^^\n"},
                                         Picture{"at_the_last_offset",
                                                 "\t中\t中",
                                                 {{INT64_MAX - 1, INT64_MAX}},
                                                 text_layout(12),
                                                 " | …\n                ^\n"},
                                         Picture{"whole_wide_clusters",
                                                 "中文中文中文中文中文",
                                                 {{15, 18}},
                                                 text_layout(12),
                                                 R"(1 | …中文中文中文
       ^^
)"}),
                         name_of);

INSTANTIATE_TEST_SUITE_P(
    Points, Text_layout,
    testing::Values(
        Picture{"at_the_end_of_a_line",
                "let x = 1\nlet y = 2\n",
                {{9, 9}},
                with_points(text_layout()),
                R"(1 | let x = 1
             ^
)"},
        Picture{"at_the_end_of_the_input",
                "let x = (1 +",
                {{12, 12}},
                with_points(text_layout()),
                R"(1 | let x = (1 +
                ^
)"},
        Picture{"after_the_last_line_feed",
                "let x = (1 +\n",
                {{13, 13}},
                with_points(text_layout()),
                R"(2 | 
    ^
)"},
        Picture{"beside_a_location",
                "let x = 1",
                {{4, 4}, {8, 9}},
                with_points(text_layout()),
                R"(1 | let x = 1
        ^   ^
)"},
        Picture{
            "in_the_byte_layout_too", "let x = (1 +\n", {{13, 13}}, with_points(Layout{}), R"(2 | 
    ^
)"},
        Picture{"ignored_unless_asked_for", "let x = 1\n", {{4, 4}}, text_layout(), ""}),
    name_of);

INSTANTIATE_TEST_SUITE_P(MultiLine, Text_layout,
                         testing::Values(Picture{"dots_per_column",
                                                 "\tif (x) {\n\t\ty = \"中\";\n\t}\n",
                                                 {{5, 22}},
                                                 text_layout(),
                                                 R"(1 | ............x) {
2 |                 y = "中";
)"},
                                         Picture{"escaped_bytes",
                                                 "a\x1b"
                                                 "b\nc\xff"
                                                 "d\n",
                                                 {{1, 5}},
                                                 text_layout(),
                                                 R"(1 | .<0x1B>b
2 | c.......
)"},
                                         // A cluster is shown when a highlight
                                         // takes any of its bytes.
                                         Picture{"highlight_from_inside_a_cluster",
                                                 "x中ab\ncd\n",
                                                 {{2, 8}},
                                                 text_layout(),
                                                 "1 | .中ab\n2 | c.\n"},
                                         Picture{"highlight_ends_inside_a_cluster",
                                                 "ab中c\nxy中z\n",
                                                 {{4, 11}},
                                                 text_layout(),
                                                 "1 | ..中c\n2 | xy中.\n"},
                                         Picture{"rows_cut_each_to_its_window",
                                                 "short\n" + std::string(40, 'x') + "\n",
                                                 {{3, 30}},
                                                 text_layout(10),
                                                 R"(1 | ...rt
2 | xxxxxxxxxx…
)"}),
                         name_of);

TEST(TextLayout, TagsMarkRunsEscapedFormsAndCutMarkersEachApart) {
  EXPECT_EQ(quote("x中文y", {{1, 4}, {4, 7}}, text_layout(), true), R"(1 | x中文y
     [^^][^^]
)");
  EXPECT_EQ(quote("x中文y", {{1, 3}, {3, 4}}, text_layout(), true), R"(1 | x中文y
     [^^]
)");
  EXPECT_EQ(quote("if (admin\u202e) {}", {{9, 12}}, text_layout(), true),
            R"(1 | if (admin{<U+202E>}) {}
             [^^^^^^^^]
)");
  EXPECT_EQ(quote(sum, {{42, INT64_MAX}}, text_layout(24), true), R"(1 | (…)ing - discount;
           [^^^^^^^^^^^^^^^^^^](…)
)");
  EXPECT_EQ(quote("a\x1b"
                  "b\nc\n",
                  {{1, 5}}, text_layout(), true),
            R"(1 | .{<0x1B>}b
2 | c
)");
}

// A minified line: every row stays within the width, whatever the offsets.
TEST(TextLayout, MebibyteLineStaysWithinItsWindow) {
  std::string line;
  while (line.size() < (1u << 20)) line += "var a" + std::to_string(line.size()) + "=f(b,c);";
  const auto size = static_cast<std::int64_t>(line.size());
  for (const std::int64_t end : {size - 90, std::int64_t{INT64_MAX}}) {
    const std::string out = quote(line, {{size - 100, end}}, text_layout(80));
    std::istringstream rows(out);
    std::vector<std::string> got;
    for (std::string row; std::getline(rows, row);) got.push_back(row);
    ASSERT_EQ(got.size(), 2u) << out.substr(0, 400);
    for (const std::string& row : got) {
      // Four bytes of label and bar, 80 columns, and two markers of 3 bytes.
      EXPECT_LE(row.size(), 4 + 80 + 6u) << row;
    }
    EXPECT_NE(got[0].find(line.substr(line.size() - 100, 10)), std::string::npos);
  }
}

TEST(TextLayout, PrinterCarriesItsLayout) {
  std::ostringstream out;
  vantel::Formatter f(out);
  const vantel::Printer print = vantel::pp(vantel::Input::string("\tx\n"), text_layout(0, 2));
  print(f, {{vantel::Position::of_offset(1), vantel::Position::of_offset(2)}});
  EXPECT_EQ(out.str(), "1 |   x\n      ^\n");
}

TEST(TextLayout, UnusableLayoutThrowsBeforeOpeningTheInput) {
  const vantel::Input missing = vantel::Input::file("/nonexistent/vantel-display");
  for (const Layout& d : {text_layout(0, 0), text_layout(0, 65), text_layout(-1)}) {
    std::ostringstream out;
    vantel::Formatter f(out);
    EXPECT_THROW(vantel::pp(missing, f, {}, d), std::invalid_argument);
  }
}

}  // namespace
