// SPDX-License-Identifier: MIT
#include "text/cluster_walk.hpp"
#include "text/code_point.hpp"

#include <vantel/escaped_text.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using vantel::detail::all_printable_ascii;
using vantel::detail::Cluster;
using vantel::detail::Cluster_kind;
using vantel::detail::Cluster_walk;

struct Geometry {
  std::string shown;   // what the terminal is given
  std::string bounds;  // '^' at each cluster's first column, '~' on the rest
};

Geometry geometry(const std::string& line, int tab_width = 8) {
  Geometry g;
  Cluster_walk walk(line, tab_width);
  Cluster c;
  while (walk.next(c)) {
    g.shown += c.shown(line);
    g.bounds += '^';
    g.bounds += std::string(static_cast<std::size_t>(c.width - 1), '~');
  }
  return g;
}

struct Case {
  const char* name;
  std::string line;
  std::string shown;
  std::string bounds;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class Geometry_of : public testing::TestWithParam<Case> {};

TEST_P(Geometry_of, Line) {
  const Case& c = GetParam();
  const Geometry g = geometry(c.line, 4);
  EXPECT_EQ(g.shown, c.shown);
  EXPECT_EQ(g.bounds, c.bounds);
}

// Tab stops every 4 columns here.
INSTANTIATE_TEST_SUITE_P(
    Clusters, Geometry_of,
    testing::Values(
        Case{"tab_at_column_0", "\tx", "    x", "^~~~^"},
        Case{"tab_at_column_1", "a\tx", "a   x", "^^~~^"},
        Case{"tab_at_column_2", "ab\tx", "ab  x", "^^^~^"},
        Case{"tab_at_column_3", "abc\tx", "abc x", "^^^^^"},
        Case{"tab_at_column_4", "abcd\tx", "abcd    x", "^^^^^~~~^"},
        Case{"tabs_after_a_wide_character", "\xe4\xb8\xad\t\t.", "\xe4\xb8\xad      .",
             "^~^~^~~~^"},
        Case{"cjk_is_two_columns", "a\xe4\xb8\xad\xe6\x96\x87z", "a\xe4\xb8\xad\xe6\x96\x87z",
             "^^~^~^"},
        Case{"fullwidth_is_two_columns", "\xef\xbc\xa1", "\xef\xbc\xa1", "^~"},
        Case{"combining_mark_joins_its_base", "e\xcc\x81x", "e\xcc\x81x", "^^"},
        Case{"zwj_family_is_one_emoji",
             "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7!",
             "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7!", "^~^"},
        Case{"skin_tone_joins_its_emoji", "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd",
             "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd", "^~"},
        Case{"emoji_presentation_selector_widens", "\xe2\x98\xba\xef\xb8\x8f.",
             "\xe2\x98\xba\xef\xb8\x8f.", "^~^"},
        Case{"flag_is_two_regional_indicators", "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7",
             "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7", "^~"},
        Case{"hangul_jamo_make_one_syllable", "\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8",
             "\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8", "^~"},
        Case{"escape_and_del_show_their_byte", "a\x1b[0m\x7f", "a<0x1B>[0m<0x7F>",
             "^^~~~~~^^^^~~~~~"},
        Case{"nul_shows_its_byte", std::string("\0z", 2), "<0x00>z", "^~~~~~^"},
        Case{"c1_control_shows_its_code_point", "\xc2\x85", "<U+0085>", "^~~~~~~~"},
        Case{"bidi_controls_show_their_code_points", "\xe2\x80\xae\xe2\x81\xa6\xd8\x9c\xe2\x80\x8e",
             "<U+202E><U+2066><U+061C><U+200E>", "^~~~~~~~^~~~~~~~^~~~~~~~^~~~~~~~"},
        Case{"invalid_byte_shows_its_byte",
             "a\xff"
             "b",
             "a<0xFF>b", "^^~~~~~^"},
        Case{"truncated_sequence_at_the_end", "a\xe4\xb8", "a<0xE4><0xB8>", "^^~~~~~^~~~~~"},
        Case{"truncated_sequence_before_ascii", "\xe4\xb8z", "<0xE4><0xB8>z", "^~~~~~^~~~~~^"},
        Case{"overlong_form_is_invalid", "\xc0\xaf", "<0xC0><0xAF>", "^~~~~~^~~~~~"},
        Case{"surrogate_is_invalid", "\xed\xa0\x80", "<0xED><0xA0><0x80>", "^~~~~~^~~~~~^~~~~~"},
        Case{"past_the_last_code_point_is_invalid", "\xf4\x90\x80\x80", "<0xF4><0x90><0x80><0x80>",
             "^~~~~~^~~~~~^~~~~~^~~~~~"},
        Case{"lone_combining_mark_is_escaped", "\xcc\x81x", "<U+0301>x", "^~~~~~~~^"},
        Case{"zero_width_space_is_escaped",
             "a\xe2\x80\x8b"
             "b",
             "a<U+200B>b", "^^~~~~~~~^"},
        Case{"a_mark_after_a_control_is_escaped_too", "\x1b\xcc\x81", "<0x1B><U+0301>",
             "^~~~~~^~~~~~~~"},
        Case{"six_digit_code_point", "\xf3\xa0\x80\x81", "<U+E0001>", "^~~~~~~~~"}),
    [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST(ClusterWalk, CountsBytesCodePointsAndUtf16Units) {
  struct Row {
    std::string line;
    std::size_t bytes;
    std::int64_t code_points;
    std::int64_t utf16_units;
  };
  const std::vector<Row> rows{
      {"a", 1, 1, 1},
      {"\xc3\xa9", 2, 1, 1},
      {"e\xcc\x81", 3, 2, 2},
      {"\xf0\x9f\x98\x80", 4, 1, 2},
      {"\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9", 11, 3, 5},
      {"\xff", 1, 1, 1},
      {"\t", 1, 1, 1},
  };
  for (const Row& row : rows) {
    Cluster_walk walk(row.line, 8);
    Cluster c;
    ASSERT_TRUE(walk.next(c)) << row.line;
    EXPECT_EQ(c.end - c.begin, row.bytes) << row.line;
    EXPECT_EQ(c.code_points, row.code_points) << row.line;
    EXPECT_EQ(c.utf16_units, row.utf16_units) << row.line;
    EXPECT_FALSE(walk.next(c)) << row.line;
  }
}

// On any bytes: clusters tile the line, columns add up, every cluster takes a
// column, the shown text has the cluster's width in bytes unless it is text,
// and a walk resumed where another stood continues identically.
TEST(ClusterWalk, TilesAnyBytesAndResumes) {
  std::mt19937 random(7);
  const std::string pieces[] = {"a",
                                " ",
                                "\t",
                                "\xe4\xb8\xad",
                                "\xcc\x81",
                                "\xff",
                                "\xe2\x80",
                                "\x1b",
                                "\xe2\x80\x8d",
                                "\xef\xb8\x8f",
                                "\xf0\x9f\x87\xab",
                                "\xc2\x85",
                                "\xf0\x9f\x91\xa8"};
  for (int round = 0; round < 500; ++round) {
    std::string line;
    const int n = static_cast<int>(random() % 24);
    for (int i = 0; i < n; ++i) line += pieces[random() % std::size(pieces)];
    const int tab_width = 1 + static_cast<int>(random() % 8);

    std::vector<Cluster> clusters;
    Cluster_walk walk(line, tab_width);
    for (Cluster c; walk.next(c);) clusters.push_back(c);
    std::size_t at = 0;
    std::int64_t column = 0;
    for (const Cluster& c : clusters) {
      ASSERT_EQ(c.begin, at);
      ASSERT_GT(c.end, c.begin);
      ASSERT_EQ(c.column, column);
      ASSERT_GE(c.width, 1);
      if (c.kind != Cluster_kind::Text) {
        ASSERT_EQ(static_cast<std::int64_t>(c.shown(line).size()), c.width);
      }
      at = c.end;
      column += c.width;
    }
    ASSERT_EQ(at, line.size());
    ASSERT_EQ(walk.column(), column);

    if (clusters.empty()) continue;
    const Cluster& from = clusters[random() % clusters.size()];
    Cluster_walk resumed(line, tab_width, from.begin, from.column);
    for (std::size_t i = static_cast<std::size_t>(&from - clusters.data()); i < clusters.size();
         ++i) {
      Cluster c;
      ASSERT_TRUE(resumed.next(c));
      ASSERT_EQ(c.end, clusters[i].end);
      ASSERT_EQ(c.width, clusters[i].width);
    }
  }
}

// Skipping plain bytes stops where the first cluster that is not one plain
// byte begins, or at the limit, however far into the line that is.
TEST(ClusterWalk, SkipsPlainBytesUpToTheFirstOtherCluster) {
  struct Row {
    std::string line;
    std::size_t limit;
    std::size_t stop;
  };
  const std::string plain = "let value = compute(argument, other);";
  const Row rows[] = {
      {plain, 100, plain.size()},
      {plain, 20, 20},
      {plain.substr(0, 17) + "\t" + plain, 100, 17},
      {plain.substr(0, 8) + "\x7f" + plain, 100, 8},
      {plain.substr(0, 9) + "\x1f" + plain, 100, 9},
      // Any byte that is not ASCII may join the byte before it, which is
      // not skipped.
      {plain.substr(0, 16) + "\xe4\xb8\xad" + plain, 100, 15},
      {plain.substr(0, 8) + "\xcc\x81" + plain, 100, 7},
      {plain.substr(0, 24) + "\xcc\x81", 100, 23},
      {"~ !~ !abcdefgh", 100, 14},
  };
  for (const Row& row : rows) {
    Cluster_walk walk(row.line, 4);
    EXPECT_EQ(walk.skip_plain(row.limit), row.stop) << row.line;
    EXPECT_EQ(walk.position(), row.stop) << row.line;
    EXPECT_EQ(walk.column(), static_cast<std::int64_t>(row.stop)) << row.line;
    // Checked a word at a time, against a byte at a time.
    EXPECT_EQ(all_printable_ascii(row.line),
              std::all_of(row.line.begin(), row.line.end(),
                          [](char c) {
                            return static_cast<unsigned char>(c) >= 0x20 &&
                                   static_cast<unsigned char>(c) < 0x7F;
                          }))
        << row.line;
  }
}

// What a message may repeat of a name or an argument: the escaped forms of the
// text layout, with tabs and everything printable left as they are.
TEST(EscapedText, EscapesWhatTheTextLayoutEscapesAndKeepsTabs) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"plain.calc", "plain.calc"},
      {"a\tb \xe4\xb8\xad\xf0\x9f\x98\x80", "a\tb \xe4\xb8\xad\xf0\x9f\x98\x80"},
      {"x\x1b]0;t\x07y", "x<0x1B>]0;t<0x07>y"},
      {"1:\x1b[2J\n\x7f", "1:<0x1B>[2J<0x0A><0x7F>"},
      {"--x\xc2\x9b"
       "31m",
       "--x<U+009B>31m"},
      {"\xff\xe2\x80", "<0xFF><0xE2><0x80>"},
      {"a\xe2\x80\xae"
       "b\xe2\x80\x8b",
       "a<U+202E>b<U+200B>"},
      {std::string("a\0b", 3), "a<0x00>b"},
  };
  for (const auto& c : cases) EXPECT_EQ(vantel::escaped_text(c.text), c.shown) << c.shown;
}

}  // namespace
