// Time to render quotes much larger than any diagnostic needs: many locations
// on one long line, and a quote across many lines.
#include "quote/quote.hpp"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace {

using vantel::detail::Resolved_position;
using vantel::detail::source_line;
using Location = std::pair<Resolved_position, Resolved_position>;

// Discards what it is given, so that only rendering is timed.
class Null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

Resolved_position at(std::int64_t offset, std::int64_t line) {
  return Resolved_position{line, 0, offset};
}

void render(benchmark::State& state, const std::vector<source_line>& lines,
            const std::vector<Location>& locations, const vantel::Layout& display = {}) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  const vantel::detail::Get_lines get_lines = [&](const Resolved_position&,
                                                  const Resolved_position&,
                                                  const vantel::detail::Line_sink& sink) {
    for (source_line line : lines) sink(line);
  };
  // What pp builds: the set of bounds, and a record that finds their positions.
  const vantel::detail::Record_of record = [&locations](std::size_t bound) {
    return bound % 2 == 0 ? locations[bound / 2].first : locations[bound / 2].second;
  };
  for (auto _ : state) {
    vantel::detail::Bound_set::Intervals intervals;
    intervals.reserve(locations.size());
    for (std::size_t k = 0; k < locations.size(); ++k)
      vantel::detail::add_location(intervals, k, locations[k].first.char_offset,
                                   locations[k].second.char_offset);
    const auto set = vantel::detail::Bound_set::of_intervals(std::move(intervals));
    vantel::Formatter f(out);
    vantel::detail::highlight_quote(f, get_lines, 10, set, record, display);
  }
}

// The text layout, cut to rows of `width` columns as a terminal would want it.
vantel::Layout text_layout(std::int64_t width) {
  vantel::Layout display;
  display.columns = vantel::Layout::Columns::Text;
  display.width = width;
  return display;
}

void single_line_many_locations(benchmark::State& state, const vantel::Layout& display) {
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

void multi_line_ten_thousand_lines(benchmark::State& state, const vantel::Layout& display) {
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
