// SPDX-License-Identifier: MIT
// Time to render quotes much larger than any diagnostic needs: many locations
// on one long line, and a quote across many lines.
#include "draw/layout_plan.hpp"
#include "null_buffer.hpp"
#include "quote/quote.hpp"
#include "quote/quoted_lines.hpp"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace {

using vantel_bench::Null_buffer;

using vantel::detail::Resolved_position;
using vantel::detail::source_line;
using Location = std::pair<Resolved_position, Resolved_position>;

Resolved_position at(std::int64_t offset, std::int64_t line) {
  return Resolved_position{line, 0, offset};
}

void render(benchmark::State& state, const std::vector<source_line>& lines,
            const std::vector<Location>& locations,
            const vantel::detail::Layout_plan& layout = {}) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    // What pp builds: every position resolved once, then the lines it reads.
    vantel::detail::Quote_plan::Positions positions;
    positions.reserve(2 * locations.size());
    for (const Location& location : locations) {
      positions.push_back(location.first);
      positions.push_back(location.second);
    }
    const vantel::detail::Quote_plan plan(std::move(positions), false);
    vantel::detail::Quoted_lines quoted(plan, 10);
    for (source_line line : lines) quoted.take(line);
    vantel::Formatter f(out);
    vantel::detail::render_quote(f, plan, quoted, layout, 10);
  }
}

// The text layout, its rows cut to `width` columns as a terminal would want.
vantel::detail::Layout_plan text_layout(std::int64_t width) {
  vantel::detail::Layout_plan layout;
  layout.text = true;
  layout.row_width = width;
  return layout;
}

void single_line_many_locations(benchmark::State& state,
                                const vantel::detail::Layout_plan& display) {
  constexpr std::int64_t line_size = 1 << 20;
  constexpr std::int64_t count = 100'000;
  const std::vector<source_line> lines{{std::string(line_size, 'x'), 0}};
  std::vector<Location> locations;
  for (std::int64_t i = 0; i < count; ++i) {
    const std::int64_t offset = i * line_size / count;
    locations.emplace_back(at(offset, 1), at(offset + 1, 1));
  }
  render(state, lines, locations, display);
  state.SetBytesProcessed(state.iterations() * line_size);
}

void BM_SingleLineManyLocations(benchmark::State& state) {
  single_line_many_locations(state, {});
}
BENCHMARK(BM_SingleLineManyLocations)->Unit(benchmark::kMillisecond);

void BM_SingleLineManyLocationsText(benchmark::State& state) {
  single_line_many_locations(state, text_layout(120));
}
BENCHMARK(BM_SingleLineManyLocationsText)->Unit(benchmark::kMillisecond);

void multi_line_ten_thousand_lines(benchmark::State& state,
                                   const vantel::detail::Layout_plan& display) {
  constexpr std::int64_t line_count = 10'000;
  const std::string text = "    let value = compute(argument, other);";
  const auto stride = static_cast<std::int64_t>(text.size()) + 1;
  std::vector<source_line> lines;
  std::vector<Location> locations;
  for (std::int64_t i = 0; i < line_count; ++i) {
    lines.push_back({text, i * stride});
    // One word per line: every line is numbered by its own bound.
    locations.emplace_back(at(i * stride + 8, i + 1), at(i * stride + 13, i + 1));
  }
  render(state, lines, locations, display);
  state.SetBytesProcessed(state.iterations() * line_count * stride);
}

void BM_MultiLineTenThousandLines(benchmark::State& state) {
  multi_line_ten_thousand_lines(state, {});
}
BENCHMARK(BM_MultiLineTenThousandLines)->Unit(benchmark::kMillisecond);

void BM_MultiLineTenThousandLinesText(benchmark::State& state) {
  multi_line_ten_thousand_lines(state, text_layout(0));
}
BENCHMARK(BM_MultiLineTenThousandLinesText)->Unit(benchmark::kMillisecond);

}  // namespace
