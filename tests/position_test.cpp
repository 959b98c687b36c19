// SPDX-License-Identifier: MIT
#include "input/opening.hpp"
#include "position/position_node.hpp"
#include "position/resolve.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::lexing_position;
using vantel::Line_table;
using vantel::Position;
using vantel::detail::open_raw;

constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();

const std::string six_bytes = "ab\ncd\n";  // table [0, 3, 6]

// An input over the six bytes that counts how often its table is computed.
struct Counted {
  int calls = 0;
  Input input = Input::raw([](std::int64_t) { return vantel::Seek_result::Ok; },
                           [] { return vantel::End_of_input; },
                           [this] {
                             ++calls;
                             return Line_table{0, 3, 6};
                           });
};

lexing_position to_lexing_raw(const Input& input, const Position& p) {
  auto opened = open_raw(input);
  return vantel::detail::to_lexing_raw(opened.cursor(), p);
}

TEST(PositionToOffset, ResolvesEachFormAgainstTheSixByteText) {
  const Input input = Input::string(six_bytes);
  const struct {
    const char* what;
    Position position;
    std::int64_t offset;
  } cases[] = {
      {"offset 4", Position::of_offset(4), 4},
      {"offset past the end", Position::of_offset(100), 100},
      {"line 2 col 1", Position::of_line_col(2, 1), 3},
      {"line 2 col 3, the LF", Position::of_line_col(2, 3), 5},
      {"column past its line", Position::of_line_col(1, 10), 9},
      {"shifted line and column", Position::shift(Position::of_line_col(1, 1), 4), 4},
      {"two shifts add up", Position::shift(Position::shift(Position::of_offset(1), 2), 3), 6},
      {"negative shift", Position::shift(Position::of_offset(5), -5), 0},
      {"lexing", Position::of_lexing({"f", 9, 9, 4}), 4},
  };
  for (const auto& c : cases) EXPECT_EQ(Position::to_offset(input, c.position), c.offset) << c.what;
}

TEST(PositionToOffset, LinesOutsideTheTextFail) {
  const Input input = Input::string(six_bytes);
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(0, 1)), std::out_of_range);
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(4, 1)), std::out_of_range);
  EXPECT_THROW((void)Position::to_offset(input, Position::shift(Position::of_line_col(-3, 1), 9)),
               std::out_of_range);
}

TEST(PositionToOffset, AsksForTheTableOnlyForALineAndColumn) {
  Counted counted;
  const lexing_position p{"f", 9, 9, 4};
  EXPECT_EQ(Position::to_offset(counted.input, Position::of_lexing(p)), 4);
  EXPECT_EQ(Position::to_offset(counted.input, Position::shift(Position::of_offset(2), 1)), 3);
  EXPECT_EQ(counted.calls, 0);
  EXPECT_EQ(Position::to_offset(
                counted.input, Position::shift(Position::shift(Position::of_line_col(2, 1), 1), 1)),
            5);
  EXPECT_EQ(counted.calls, 1);
}

TEST(PositionToLexing, ResolvesAgainstTheTableWithAnEmptyFileName) {
  const Input input = Input::string(six_bytes);
  const lexing_position p{"lexer.ml", 42, 40, 4};
  const struct {
    const char* what;
    Position position;
    lexing_position expected;
  } cases[] = {
      {"offset 4", Position::of_offset(4), {"", 2, 3, 4}},
      {"offset at a line start", Position::of_offset(3), {"", 2, 3, 3}},
      {"offset of an LF", Position::of_offset(2), {"", 1, 0, 2}},
      {"offset of the empty last line", Position::of_offset(6), {"", 3, 6, 6}},
      {"offset past the end", Position::of_offset(100), {"", 3, 6, 100}},
      {"line and column", Position::of_line_col(2, 2), {"", 2, 3, 4}},
      {"line not corrected", Position::of_line_col(1, 10), {"", 1, 0, 9}},
      {"lexing kept as it is", Position::of_lexing(p), p},
      {"shifted lexing resolved", Position::shift(Position::of_lexing(p), 0), {"", 2, 3, 4}},
  };
  for (const auto& c : cases) EXPECT_EQ(to_lexing_raw(input, c.position), c.expected) << c.what;
}

TEST(PositionToLexing, ConverterPutsItsFileNameIntoEveryRecord) {
  const Input input = Input::string(six_bytes);
  const lexing_position p{"lexer.ml", 42, 40, 4};
  const auto unnamed = Position::to_lexing(input);
  const auto named = Position::to_lexing(input, "main.c");
  EXPECT_EQ(unnamed(Position::of_lexing(p)), (lexing_position{"", 42, 40, 4}));
  EXPECT_EQ(named(Position::of_lexing(p)), (lexing_position{"main.c", 42, 40, 4}));
  EXPECT_EQ(named(Position::of_offset(4)), (lexing_position{"main.c", 2, 3, 4}));
}

TEST(PositionShift, AMillionNestedShiftsResolveAndAreDestroyed) {
  const Input input = Input::string(six_bytes);
  Position p = Position::of_line_col(2, 1);
  for (int i = 0; i < 1'000'000; ++i) p = Position::shift(p, i % 2 == 0 ? 2 : -1);
  EXPECT_EQ(Position::to_offset(input, p), 3 + 500'000);
  EXPECT_EQ(to_lexing_raw(input, p), (lexing_position{"", 3, 6, 500'003}));
}

TEST(PositionShift, SharedBaseSurvivesTheLongerChainBeingDestroyed) {
  const Input input = Input::string(six_bytes);
  Position middle = Position::of_offset(0);
  for (int i = 0; i < 1000; ++i) middle = Position::shift(middle, 1);
  {
    Position outer = middle;
    for (int i = 0; i < 1000; ++i) outer = Position::shift(outer, 1);
    EXPECT_EQ(Position::to_offset(input, outer), 2000);
  }
  EXPECT_EQ(Position::to_offset(input, middle), 1000);
}

TEST(PositionArithmetic, SumsThatDoNotFitRaiseOverflow) {
  const Input input = Input::string(six_bytes);
  EXPECT_THROW((void)Position::to_offset(input, Position::shift(Position::of_offset(max64), 1)),
               std::overflow_error);
  EXPECT_THROW((void)Position::to_offset(input, Position::shift(Position::of_offset(min64), -1)),
               std::overflow_error);
  EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(2, max64)),
               std::overflow_error);
  EXPECT_EQ(Position::to_offset(input, Position::shift(Position::of_offset(max64 - 1), 1)), max64);
  EXPECT_EQ(to_lexing_raw(input, Position::of_offset(min64)), (lexing_position{"", 1, 0, min64}));

  const Input shifted_table =
      Input::raw([](std::int64_t) { return vantel::Seek_result::Ok; },
                 [] { return vantel::End_of_input; }, [] { return Line_table{5}; });
  EXPECT_THROW((void)to_lexing_raw(shifted_table, Position::of_offset(min64)), std::overflow_error);
}

TEST(PositionValues, MovedFromPositionIsRejectedNotDereferenced) {
  const Input input = Input::string(six_bytes);
  Position p = Position::of_offset(1);
  const Position taken = std::move(p);
  EXPECT_THROW((void)Position::to_offset(input, p),
               std::invalid_argument);  // NOLINT(bugprone-use-after-move)
  EXPECT_THROW((void)Position::to_offset(input, Position::shift(p, 1)), std::invalid_argument);
  EXPECT_EQ(Position::to_offset(input, taken), 1);
}

// Small offsets, lines and columns are held in the position itself, larger
// ones in a node: on both sides of each limit they resolve alike, with every
// value kept.
TEST(PositionValues, OffsetsLinesAndColumnsResolveAlikeOnBothSidesOfTheInlineLimits) {
  const Input input = Input::raw([](std::int64_t) { return vantel::Seek_result::Ok; },
                                 [] { return vantel::End_of_input; },
                                 [] {
                                   return Line_table{0, 3, 6};
                                 });
  const std::int64_t i32max = std::numeric_limits<std::int32_t>::max();
  const std::int64_t i32min = std::numeric_limits<std::int32_t>::min();
  const std::int64_t l30 = std::int64_t{1} << 30;
  for (const std::int64_t col :
       {std::int64_t{1}, std::int64_t{0}, std::int64_t{-1}, l30 - 1, l30, -l30, -l30 - 1, i32max,
        i32max + 1, i32min, i32min - 1, std::int64_t{1} << 40, -(std::int64_t{1} << 40)}) {
    EXPECT_EQ(Position::to_offset(input, Position::of_line_col(2, col)), 3 + (col - 1)) << col;
    EXPECT_EQ(to_lexing_raw(input, Position::of_line_col(3, col)),
              (lexing_position{"", 3, 6, 6 + (col - 1)}))
        << col;
  }
  for (const std::int64_t line :
       {std::int64_t{0}, std::int64_t{-1}, std::int64_t{4}, l30 - 1, l30, -l30, -l30 - 1, i32max,
        i32max + 1, i32min, i32min - 1, max64, min64})
    EXPECT_THROW((void)Position::to_offset(input, Position::of_line_col(line, 1)),
                 std::out_of_range)
        << line;
  const std::int64_t l61 = std::int64_t{1} << 61;
  for (const std::int64_t offset : {std::int64_t{0}, std::int64_t{-1}, l61 - 1, l61, -l61, -l61 - 1,
                                    max64, min64, max64 - 1, min64 + 1}) {
    EXPECT_EQ(Position::to_offset(input, Position::of_offset(offset)), offset) << offset;
    EXPECT_EQ(Position::to_offset(input, Position::shift(Position::of_offset(offset), 0)), offset)
        << offset;
    if (offset >= 6) {
      EXPECT_EQ(to_lexing_raw(input, Position::of_offset(offset)),
                (lexing_position{"", 3, 6, offset}))
          << offset;
    }
  }
}

// Copies and moves of every form: a copy resolves as the original, a moved-from
// position is rejected, and assigning a position to itself keeps it.
TEST(PositionValues, CopiesAndMovesOfEveryForm) {
  const Input input = Input::string(six_bytes);
  const lexing_position p{"lexer.ml", 42, 40, 4};
  const struct {
    const char* what;
    Position position;
    std::int64_t offset;
  } cases[] = {
      {"offset", Position::of_offset(4), 4},
      {"line and column", Position::of_line_col(2, 2), 4},
      {"wide line and column", Position::of_line_col(2, std::int64_t{1} << 33),
       2 + (std::int64_t{1} << 33)},
      {"wide offset", Position::of_offset(std::int64_t{1} << 62), std::int64_t{1} << 62},
      {"lexing", Position::of_lexing(p), 4},
      {"shift", Position::shift(Position::of_offset(1), 3), 4},
  };
  for (const auto& c : cases) {
    Position copy = c.position;
    EXPECT_EQ(Position::to_offset(input, copy), c.offset) << c.what;
    Position& same = copy;
    copy = same;
    EXPECT_EQ(Position::to_offset(input, copy), c.offset) << c.what;
    Position moved = std::move(copy);
    EXPECT_THROW((void)Position::to_offset(input, copy), std::invalid_argument)  // NOLINT
        << c.what;
    Position assigned = Position::of_offset(0);
    assigned = std::move(moved);
    EXPECT_THROW((void)Position::to_offset(input, moved), std::invalid_argument)  // NOLINT
        << c.what;
    EXPECT_EQ(Position::to_offset(input, assigned), c.offset) << c.what;
    assigned = c.position;
    EXPECT_EQ(Position::to_offset(input, assigned), c.offset) << c.what;
    EXPECT_EQ(Position::to_offset(input, c.position), c.offset) << c.what;
  }
}

}  // namespace
