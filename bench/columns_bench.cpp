// SPDX-License-Identifier: MIT
// Conversions between byte offsets and lines and columns in other units, on
// 1,000 lines of mixed-script text through one input whose line table is
// already known: 10,000 conversions each way per iteration.
#include <vantel/vantel.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using vantel::Column_unit;
using vantel::Position;

constexpr int conversions = 10000;

std::uint32_t next(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// Lines of code with comments and strings in several scripts: ASCII, Latin,
// Cyrillic, Greek, CJK, emoji past U+FFFF, combining marks, tabs, and a CR
// before some line feeds.
std::string mixed_text(int lines) {
  static const char* const words[] = {
      "let",  "value",    "=",          "(x",           "+",       "1);",   "//",  "\t",
      "café", "naïve",    "e\u0301",    "привет",       "мир",     "λόγος", "αβγ", "漢字",
      "変数", "中文字符", "\U0001F600", "\U0001F680ok", "\"str\"", "{",     "}",   "return"};
  std::string text;
  std::uint32_t state = 7;
  for (int l = 0; l < lines; ++l) {
    const std::uint32_t count = next(state) % 16;
    for (std::uint32_t w = 0; w < count; ++w) {
      text += words[next(state) % (sizeof words / sizeof *words)];
      text += ' ';
    }
    if (next(state) % 8 == 0) text += '\r';
    text += '\n';
  }
  return text;
}

const Column_unit units[] = {Column_unit::Utf16, Column_unit::Code_points, Column_unit::Display};

// Lines and columns in the unit named by the benchmark's argument: columns
// from 1 to a little past the longest line, so that some clamp.
void OfLineColTenThousand(benchmark::State& state) {
  const Column_unit unit = units[state.range(0)];
  const vantel::Input input = vantel::Input::string(mixed_text(1000));
  std::uint32_t random = 11;
  std::vector<Position> positions;
  for (int k = 0; k < conversions; ++k)
    positions.push_back(
        Position::of_line_col(1 + next(random) % 1000, 1 + next(random) % 140, unit));
  std::int64_t sum = Position::to_offset(input, positions.front());  // the line table, once
  for (auto _ : state)
    for (const Position& p : positions) sum += Position::to_offset(input, p);
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(OfLineColTenThousand)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Offsets anywhere in the text, to lines and columns in the argument's unit.
void ToLineColTenThousand(benchmark::State& state) {
  const Column_unit unit = units[state.range(0)];
  const std::string text = mixed_text(1000);
  const vantel::Input input = vantel::Input::string(text);
  std::uint32_t random = 13;
  std::vector<Position> positions;
  for (int k = 0; k < conversions; ++k)
    positions.push_back(Position::of_offset(static_cast<std::int64_t>(next(random) % text.size())));
  std::int64_t sum = Position::to_line_col(input, positions.front(), unit).col;
  for (auto _ : state)
    for (const Position& p : positions) sum += Position::to_line_col(input, p, unit).col;
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(ToLineColTenThousand)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
