// SPDX-License-Identifier: MIT
// Columns counted on from places already known on a long line, in any
// order, are those that counting the whole line from its start gives.
#include "input/opening.hpp"
#include "position/line_text.hpp"
#include "text/column_units.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

using vantel::Column_unit;
using vantel::Input;

TEST(CountedColumns, CountingOnAgreesWithCountingFromTheStart) {
  // Past the first stride of places, with wide, combining, astral and invalid
  // bytes and tabs; the line feed comes after a carriage return.
  const char* const pieces[] = {"a",      "bc ",        "\t",   "\u00E9", "e\u0301",
                                "\u4E2D", "\U0001F600", "\xFF", "\r"};
  std::mt19937 random(20261210);
  std::string line;
  while (line.size() < (std::size_t{9} << 17)) line += pieces[random() % std::size(pieces)];
  while (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string text = "first\n" + line + "\r\nlast\n";
  const std::string path = ::testing::TempDir() + "counted_columns.txt";
  std::ofstream(path, std::ios::binary) << text;

  for (const Input& input : {Input::string(text), Input::file(path)}) {
    for (const Column_unit unit :
         {Column_unit::Utf16, Column_unit::Code_points, Column_unit::Display}) {
      const std::int64_t columns = vantel::detail::column_of_byte(line, line.size(), unit, 4) + 2;
      auto opened = vantel::detail::open_raw(input);
      for (int k = 0; k < 8; ++k) {
        // Far ends, then starts before them, as locations resolve.
        const auto col =
            2 + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(columns));
        ASSERT_EQ(vantel::detail::byte_of_column_at(opened.cursor(), 6, col, unit, 4),
                  vantel::detail::byte_of_column(line, col, unit, 4))
            << "column " << col << " in unit " << static_cast<int>(unit);
        const std::size_t at = random() % (line.size() + 2);
        ASSERT_EQ(vantel::detail::column_of_byte_at(opened.cursor(), 6, at, unit, 4),
                  vantel::detail::column_of_byte(line, at, unit, 4))
            << "byte " << at << " in unit " << static_cast<int>(unit);
      }
      opened.close();
    }
  }
  std::remove(path.c_str());
}

}  // namespace

namespace {

// Places known on a line are forgotten between openings: the file may have
// changed in between.
TEST(CountedColumns, AFileRewrittenBetweenQuotesIsCountedAnew) {
  const std::string path = ::testing::TempDir() + "counted_columns_rewritten.txt";
  const Input input = Input::file(path);
  const auto quote = [&](const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    std::ostringstream out;
    vantel::Formatter f(out);
    const vantel::Position from = vantel::Position::of_line_col(1, 3, Column_unit::Utf16);
    const vantel::Position to = vantel::Position::of_line_col(1, 4, Column_unit::Utf16);
    vantel::pp(input, f, {{from, to}});
    return out.str();
  };
  EXPECT_EQ(quote("\U0001F600xy\n"), quote("\U0001F600xy\n"));
  EXPECT_EQ(quote("ab\u00E9xy\n"), "1 | ab\u00E9xy\n      ^^\n");
  std::remove(path.c_str());
}

}  // namespace
