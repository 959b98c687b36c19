// SPDX-License-Identifier: MIT
// The diagnostics engine at scale: 20,000 one-label reports over one 1.4 MB
// file through the engine against drawing them directly, and 74,000 results
// over 12,000 small files in the one-line format and in SARIF.
#include <vantel/vantel.hpp>
#include "null_buffer.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using vantel_bench::Null_buffer;

// About 1.4 MB: 20,000 lines of 70 bytes.
std::string big_file() {
  std::string text;
  for (int i = 0; i < 20'000; ++i) {
    std::string line = "    let value" + std::to_string(i) + " = compute(argument, other) + 1;";
    line.resize(69, ' ');
    text += line + "\n";
  }
  return text;
}

vantel::Report one_label(const vantel::Source& source, std::int64_t line, std::int64_t results) {
  vantel::Report report;
  report.severity = vantel::Severity::Warning;
  report.code = "W" + std::to_string(results % 7);
  report.message = "unused value";
  report.labels.push_back(
      vantel::Label::primary(source, vantel::Location::of_line_cols(line, 9, line, 14), "here"));
  return report;
}

// Drawing each report straight onto a formatter.
void BM_draw_20000_reports_directly(benchmark::State& state) {
  const std::string text = big_file();
  const vantel::Source source(vantel::Input::view(text), "big.calc");
  Null_buffer null;
  std::ostream out(&null);
  for (auto _ : state) {
    vantel::Formatter formatter(out);
    for (std::int64_t k = 0; k < 20'000; ++k)
      vantel::pp_report(formatter, one_label(source, 1 + k, k));
  }
}
BENCHMARK(BM_draw_20000_reports_directly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same reports recorded through a registry and an engine, drawn.
void BM_engine_20000_reports(benchmark::State& state) {
  const std::string text = big_file();
  Null_buffer null;
  std::ostream out(&null);
  vantel::Diagnostics_options options;
  options.terminal = vantel::Terminal{};
  for (auto _ : state) {
    vantel::Sources sources;
    const vantel::Source source = sources.add_view("big.calc", text);
    vantel::Diagnostics engine(out, sources, options);
    for (std::int64_t k = 0; k < 20'000; ++k) engine.report(one_label(source, 1 + k, k));
    benchmark::DoNotOptimize(engine.finish());
  }
}
BENCHMARK(BM_engine_20000_reports)->Unit(benchmark::kMillisecond)->UseRealTime();

// 74,000 results over 12,000 files of a few lines each, sorted.
void data_run(benchmark::State& state, vantel::Diagnostics_format format) {
  std::vector<std::string> texts;
  for (int f = 0; f < 12'000; ++f)
    texts.push_back("let a" + std::to_string(f) +
                    " = 1\nlet b = a + a\nprint b\nlet c = b * 2\nprint c\nlet d = c\nprint d\n");
  Null_buffer null;
  std::ostream out(&null);
  vantel::Diagnostics_options options;
  options.format = format;
  options.order = vantel::Diagnostics_order::Sorted;
  for (auto _ : state) {
    vantel::Sources sources;
    vantel::Diagnostics engine(out, sources, options);
    for (std::int64_t r = 0; r < 74'000; ++r) {
      const std::size_t f = static_cast<std::size_t>(r % 12'000);
      const vantel::Source source =
          sources.add_view("src/f" + std::to_string(f) + ".calc", texts[f]);
      engine.report(one_label(source, 1 + r / 12'000, r));
    }
    benchmark::DoNotOptimize(engine.finish());
  }
}
void BM_74000_results_one_line(benchmark::State& state) {
  data_run(state, vantel::Diagnostics_format::One_line);
}
BENCHMARK(BM_74000_results_one_line)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
void BM_74000_results_sarif(benchmark::State& state) {
  data_run(state, vantel::Diagnostics_format::Sarif);
}
BENCHMARK(BM_74000_results_sarif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
