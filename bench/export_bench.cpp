// SPDX-License-Identifier: MIT
// Reports as data against drawing them: 10,000 reports over a 100,000-line
// file, each written as SARIF, as LSP JSON, as editor lines, and drawn.
#include <vantel/vantel.hpp>
#include "null_buffer.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using vantel::Position;
using vantel_bench::Null_buffer;

// 100,000 lines, some with a tab, a wide character or an emoji.
std::string hundred_thousand_lines() {
  std::string text;
  for (int i = 0; i < 100'000; ++i) {
    text += i % 7 == 0 ? "\tlet v" : "    let v";
    text += std::to_string(i);
    text += i % 11 == 0 ? " = f(\xe5\x80\xa4, \xF0\x9F\x98\x80) + 1;\n"
                        : " = compute(argument, other);\n";
  }
  return text;
}

// One report every tenth line: a primary label and a secondary one on the
// line before, a code and a note.
std::vector<vantel::Report> ten_thousand_reports(const vantel::Source& source) {
  std::vector<vantel::Report> reports(10'000);
  for (std::int64_t i = 0; i < 10'000; ++i) {
    vantel::Report& r = reports[static_cast<std::size_t>(i)];
    const std::int64_t line = 2 + i * 10;
    r.code = i % 2 == 0 ? "E1" : "W2";
    r.severity = i % 2 == 0 ? vantel::Severity::Error : vantel::Severity::Warning;
    r.message = "report " + std::to_string(i);
    r.labels = {
        vantel::Label::primary(
            source, {Position::of_line_col(line, 9), Position::of_line_col(line, 16)}, "here"),
        vantel::Label::secondary(
            source, {Position::of_line_col(line - 1, 5), Position::of_line_col(line - 1, 8)},
            "and there")};
    r.notes = {{"note", "written for the benchmark"}};
  }
  return reports;
}

struct Fixture {
  vantel::Source source{vantel::Input::string(hundred_thousand_lines()), "bench.calc"};
  std::vector<vantel::Report> reports = ten_thousand_reports(source);
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_ExportDraw(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    vantel::Formatter f(out);
    for (const vantel::Report& r : fixture().reports) vantel::pp_report(f, r);
  }
}
BENCHMARK(BM_ExportDraw)->Unit(benchmark::kMillisecond);

void BM_ExportSarif(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    vantel::Sarif_log log({"bench", "1.0", {}, {}});
    for (const vantel::Report& r : fixture().reports) log.add(r);
    log.write(out);
  }
}
BENCHMARK(BM_ExportSarif)->Unit(benchmark::kMillisecond);

// The same log streamed as it is made, never held.
void BM_ExportSarifStream(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    vantel::Sarif_stream log(out, {"bench", "1.0", {}, {}});
    for (const vantel::Report& r : fixture().reports) log.add(r);
    log.finish();
  }
}
BENCHMARK(BM_ExportSarifStream)->Unit(benchmark::kMillisecond);

void BM_ExportLsp(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) vantel::write_lsp_json(out, fixture().reports);
}
BENCHMARK(BM_ExportLsp)->Unit(benchmark::kMillisecond);

// The same as one string: what a host that holds the whole array pays.
void BM_ExportLspString(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) out << vantel::to_lsp_json(fixture().reports);
}
BENCHMARK(BM_ExportLspString)->Unit(benchmark::kMillisecond);

void BM_ExportOneLine(benchmark::State& state) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state)
    for (const vantel::Report& r : fixture().reports) vantel::write_one_line(out, r);
}
BENCHMARK(BM_ExportOneLine)->Unit(benchmark::kMillisecond);

}  // namespace
