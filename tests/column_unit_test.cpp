// SPDX-License-Identifier: MIT
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <istream>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using vantel::Column_unit;
using vantel::Input;
using vantel::Line_col;
using vantel::Position;

constexpr Column_unit utf16 = Column_unit::Utf16;
constexpr Column_unit code_point = Column_unit::Code_points;
constexpr Column_unit display = Column_unit::Display;

std::int64_t offset_of(const std::string& text, std::int64_t line, std::int64_t col,
                       Column_unit unit, int tab_width = 8) {
  return Position::to_offset(Input::string(text),
                             Position::of_line_col(line, col, unit, tab_width));
}

Line_col line_col_of(const std::string& text, std::int64_t offset, Column_unit unit,
                     int tab_width = 8) {
  return Position::to_line_col(Input::string(text), Position::of_offset(offset), unit, tab_width);
}

TEST(ColumnUnits, ColumnsStandForTheStartOfTheirCharacterAndClampToTheLine) {
  const struct {
    const char* what;
    std::string text;
    std::int64_t line, col;
    Column_unit unit;
    int tab_width;
    std::int64_t offset;
  } cases[] = {
      {"after a surrogate pair", "a\U0001F600b\n", 1, 4, utf16, 8, 5},
      {"inside a surrogate pair", "a\U0001F600b\n", 1, 3, utf16, 8, 1},
      {"the same character in code points", "a\U0001F600b\n", 1, 3, code_point, 8, 5},
      {"just past the line: its line feed", "a\U0001F600b\n", 1, 5, utf16, 8, 6},
      {"far past the line", "a\U0001F600b\n", 1, 99, display, 8, 6},
      {"below 1: the line's start", "ab\ncd", 2, -7, utf16, 8, 3},
      {"second cell of a wide character", "a\u4E2Db", 1, 3, display, 8, 1},
      {"after a wide character", "a\u4E2Db", 1, 4, display, 8, 4},
      {"inside a tab", "\tx", 1, 5, display, 8, 0},
      {"after a tab", "\tx", 1, 9, display, 8, 1},
      {"a tab to the next stop of 4", "ab\tc", 1, 5, display, 4, 3},
      {"a combining mark in its cluster", "e\u0301x", 1, 2, display, 8, 3},
      {"a combining mark is a code point", "e\u0301x", 1, 2, code_point, 8, 1},
      {"an invalid byte is one unit", "a\xFF\xFFz", 1, 4, utf16, 8, 3},
      {"an invalid byte is one cell", "a\xFF\xFFz", 1, 4, display, 8, 3},
      {"a control is one cell, stops after it", "\x01\tz", 1, 9, display, 8, 2},
      {"the CR before the LF is not in the line", "ab\r\ncd", 1, 9, utf16, 8, 2},
      {"only the CR right before the LF", "a\r\r\n", 1, 3, code_point, 8, 2},
      {"a CR inside the line is a unit", "a\rb\n", 1, 3, code_point, 8, 2},
      {"a CR that ends the text is in the line", "ab\r", 1, 9, utf16, 8, 3},
      {"an empty last line", "ab\n", 2, 5, display, 8, 3},
      {"bytes run on past the line", "ab\ncd\n", 1, 10, Column_unit::Bytes, 8, 9},
  };
  for (const auto& c : cases)
    EXPECT_EQ(offset_of(c.text, c.line, c.col, c.unit, c.tab_width), c.offset) << c.what;
}

TEST(ColumnUnits, OffsetsTakeTheColumnOfTheirCharacter) {
  const struct {
    const char* what;
    std::string text;
    std::int64_t offset;
    Column_unit unit;
    Line_col expected;
  } cases[] = {
      {"inside a surrogate pair", "a\U0001F600b\n", 3, utf16, {1, 2}},
      {"the line feed ends the line", "a\U0001F600b\n", 6, utf16, {1, 5}},
      {"the CR before it too", "ab\r\ncd", 2, code_point, {1, 3}},
      {"past the end of the text", "ab\r\ncd", 100, display, {2, 3}},
      {"past the end, in bytes", "ab\r\ncd", 100, Column_unit::Bytes, {2, 97}},
      {"before the text", "ab\r\ncd", -3, utf16, {1, 1}},
      {"before the text, in bytes", "ab\r\ncd", -3, Column_unit::Bytes, {1, -2}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(line_col_of(c.text, c.offset, c.unit), c.expected) << c.what;
}

// The column of each byte of one line in every unit, then the column after it.
TEST(ColumnUnits, EachByteOfALineInEveryUnit) {
  const std::string line = "a\t\u4E2D\U0001F600e\u0301\xFFz";
  std::string picture;
  for (const auto& [name, unit, tab] :
       {std::tuple{"byte", Column_unit::Bytes, 8}, std::tuple{"utf16", utf16, 8},
        std::tuple{"code_point", code_point, 8}, std::tuple{"display 8", display, 8},
        std::tuple{"display 3", display, 3}}) {
    picture += name;
    for (std::int64_t at = 0; at <= static_cast<std::int64_t>(line.size()); ++at)
      picture += ' ' + std::to_string(line_col_of(line, at, unit, tab).col);
    picture += '\n';
  }
  EXPECT_EQ(picture, R"(byte 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15
utf16 1 2 3 3 3 4 4 4 4 6 7 7 8 9 10
code_point 1 2 3 3 3 4 4 4 4 5 6 6 7 8 9
display 8 1 2 9 9 9 11 11 11 11 13 13 13 14 15 16
display 3 1 2 4 4 4 6 6 6 6 8 8 8 9 10 11
)");
}

TEST(ColumnUnits, ShiftsCountBytesAndQuotesUseTheResolvedBytes) {
  const Input input = Input::string("a\U0001F600b\n");
  const Position smiley = Position::of_line_col(1, 2, utf16);
  EXPECT_EQ(Position::to_offset(input, Position::shift(smiley, 4)), 5);
  const vantel::lexing_position at =
      Position::to_lexing(input, "f")(Position::of_line_col(1, 4, utf16));
  EXPECT_EQ(at, (vantel::lexing_position{"f", 1, 0, 5}));
  EXPECT_EQ(test::quote(input, {{smiley, Position::of_line_col(1, 4, utf16)}}),
            "1 | a\U0001F600b\n     ^^^^\n");
}

TEST(ColumnUnits, FailuresAreTheLineTablesAndTabWidthsOutsideTheirRange) {
  EXPECT_THROW((void)offset_of("ab\n", 0, 1, utf16), std::out_of_range);
  EXPECT_THROW((void)offset_of("ab\n", 3, 1, utf16), std::out_of_range);
  EXPECT_THROW((void)Position::of_line_col(1, 1, display, 0), std::invalid_argument);
  EXPECT_THROW((void)line_col_of("ab", 1, display, 65), std::invalid_argument);
}

// Every kind of input gives the same answers, reads lines that cross its
// blocks, and closes what it opened whether the conversion succeeds or not.
TEST(ColumnUnits, EveryInputKindConvertsBothWays) {
  const std::string text = std::string(20000, 'x') + "\U0001F600\r\nab\tc";
  const test::Temp_file file(text);
  std::istringstream stream(text);
  const auto at = std::make_shared<std::size_t>(text.size());  // the raw input's position
  int closed = 0;
  const std::vector<std::pair<const char*, Input>> inputs = {
      {"string", Input::string(text)},
      {"bytes", Input::bytes(std::make_shared<std::vector<char>>(text.begin(), text.end()))},
      {"in_channel", Input::in_channel(stream)},
      {"file", Input::file(file.path())},
      {"raw", Input::raw(
                  [&text, at](std::int64_t to) {
                    if (to < 0 || to >= static_cast<std::int64_t>(text.size()))
                      return vantel::Seek_result::Invalid_position;
                    *at = static_cast<std::size_t>(to);
                    return vantel::Seek_result::Ok;
                  },
                  [&text, at]() -> vantel::Byte {
                    if (*at >= text.size()) return vantel::End_of_input;
                    return static_cast<unsigned char>(text[(*at)++]);
                  },
                  [] {
                    return vantel::Line_table{0, 20006};
                  })},
      {"managed", Input::managed([&] {
         return std::make_pair(Input::string(text), vantel::Closer([&] { ++closed; }));
       })},
  };
  const std::size_t descriptors = test::open_descriptors();
  for (const auto& [kind, input] : inputs) {
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(1, 20002, utf16)), 20000) << kind;
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(1, 20003, utf16)), 20004) << kind;
    EXPECT_EQ(Position::to_line_col(input, Position::of_offset(20003), utf16), (Line_col{1, 20001}))
        << kind;
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 9, display)), 20009) << kind;
    EXPECT_EQ(Position::to_line_col(input, Position::of_offset(20009), display), (Line_col{2, 9}))
        << kind;
    EXPECT_THROW((void)Position::to_line_col(input, Position::of_line_col(3, 2, utf16), utf16),
                 std::out_of_range)
        << kind;
  }
  EXPECT_EQ(closed, 6);
  EXPECT_EQ(test::open_descriptors(), descriptors);
  EXPECT_THROW((void)Position::to_line_col(Input::file(file.path() + ".none"),
                                           Position::of_offset(0), utf16),
               std::system_error);
}

// A pipe: its bytes once, front to back, and no seeking.
struct Pipe_buf : std::streambuf {
  explicit Pipe_buf(std::string bytes) : text(std::move(bytes)) {
    setg(text.data(), text.data(), text.data() + text.size());
  }
  std::string text;
};

TEST(ColumnUnits, AStreamThatCannotSeekFailsWhereALineMustBeRead) {
  Pipe_buf pipe("ab\n\U0001F600c\n");
  std::istream piped(&pipe);
  const Input input = Input::in_channel(piped);
  EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, 1, utf16)), 3);
  EXPECT_EQ(Position::to_line_col(input, Position::of_offset(4), Column_unit::Bytes),
            (Line_col{2, 2}));
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(2, 3, utf16)),
               std::system_error);
  EXPECT_THROW((void)Position::to_line_col(input, Position::of_offset(4), utf16),
               std::system_error);
}

// Round trips over random UTF-8 text, against conversions that know each
// character's bytes and units from the table it was drawn from and decode
// nothing.
namespace model {

struct Character {
  std::string bytes;
  int utf16 = 1;
  int cells = 1;  // 0 for a tab; -1 for bytes that each count one
};

// No two of these make one character or one cluster together, and none
// starts a sequence that a later one could end. An encoded surrogate is three
// invalid bytes.
const Character alphabet[] = {
    {"a"},
    {"Z"},
    {" "},
    {"\t", 1, 0},
    {"\r"},
    {"\x01"},
    {"\u00E9"},
    {"\u0436"},
    {"\u0628"},
    {"\u4E2D", 1, 2},
    {"\uFF21", 1, 2},
    {"\U0001F600", 2, 2},
    {"\U0001D49C", 2, 1},
    {"\U00020000", 2, 2},
    {"\xFF"},
    {"\x80"},
    {"\xED\xA0\x80", 3, -1},
};

std::int64_t units(const Character& c, Column_unit unit, std::int64_t column, int tab_width) {
  switch (unit) {
    case Column_unit::Bytes:
      return static_cast<std::int64_t>(c.bytes.size());
    case Column_unit::Utf16:
      return c.utf16;
    case Column_unit::Code_points:
      return 1;
    case Column_unit::Display:
      return c.cells != 0 ? c.cells : tab_width - column % tab_width;
  }
  return 0;
}

struct Line {
  std::int64_t start = 0;
  std::vector<Character> characters;  // without the CR before its LF
};

}  // namespace model

TEST(ColumnUnits, RandomTextRoundTripsInEveryUnit) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 150; ++round) {
    std::string text;
    std::vector<model::Line> lines;
    const int line_count = 1 + static_cast<int>(random() % 5);
    for (int l = 0; l < line_count; ++l) {
      model::Line line{static_cast<std::int64_t>(text.size()), {}};
      const int length = static_cast<int>(random() % 10);
      for (int k = 0; k < length; ++k) {
        const auto& c = model::alphabet[random() % std::size(model::alphabet)];
        text += c.bytes;
        if (c.cells >= 0) {
          line.characters.push_back(c);
        } else {
          for (const char byte : c.bytes) line.characters.push_back({std::string(1, byte)});
        }
      }
      if (l + 1 < line_count || random() % 2 == 0) {
        if (random() % 3 == 0)
          text += '\r';  // a line that ends in CR LF
        else if (!line.characters.empty() && line.characters.back().bytes == "\r")
          line.characters.pop_back();
        text += '\n';
      }
      lines.push_back(line);
    }
    if (text.size() > static_cast<std::size_t>(lines.back().start) && text.back() == '\n')
      lines.push_back({static_cast<std::int64_t>(text.size()), {}});
    const Input input = Input::string(text);
    for (std::size_t l = 0; l < lines.size(); ++l) {
      const model::Line& line = lines[l];
      const auto number = static_cast<std::int64_t>(l) + 1;
      const std::int64_t next =
          l + 1 < lines.size() ? lines[l + 1].start : static_cast<std::int64_t>(text.size()) + 3;
      for (const Column_unit unit : {utf16, code_point, display}) {
        const int tab_width = 1 + static_cast<int>(random() % 8);
        // column_at[b]: the column of the character holding byte b of the line
        std::vector<std::int64_t> column_at;
        std::vector<std::int64_t> start_of_column = {line.start};  // index: column - 1
        std::int64_t column = 0;
        std::int64_t offset = line.start;
        for (const auto& c : line.characters) {
          const std::int64_t n = model::units(c, unit, column, tab_width);
          column_at.insert(column_at.end(), c.bytes.size(), column + 1);
          start_of_column.insert(start_of_column.end(), static_cast<std::size_t>(n - 1), offset);
          column += n;
          offset += static_cast<std::int64_t>(c.bytes.size());
          start_of_column.push_back(offset);
        }
        for (std::int64_t col = -1; col <= column + 3; ++col) {
          const std::int64_t expected = start_of_column[static_cast<std::size_t>(
              std::clamp<std::int64_t>(col, 1, column + 1) - 1)];
          ASSERT_EQ(Position::to_offset(input, Position::of_line_col(number, col, unit, tab_width)),
                    expected)
              << "round " << round << " line " << number << " col " << col;
        }
        for (std::int64_t at = line.start; at < next; ++at) {
          const auto b = static_cast<std::size_t>(at - line.start);
          const Line_col expected{number, b < column_at.size() ? column_at[b] : column + 1};
          ASSERT_EQ(Position::to_line_col(input, Position::of_offset(at), unit, tab_width),
                    expected)
              << "round " << round << " offset " << at;
        }
      }
    }
  }
}

}  // namespace
