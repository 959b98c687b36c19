// SPDX-License-Identifier: MIT
// Time to draw reports much larger than any diagnostic needs: a thousand
// labels over a 10,000-line file, with and without a hundred fixes, and ten
// thousand labels on one 1 MiB line cut to windows.
#include <vantel/vantel.hpp>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using vantel::Input;
using vantel::Label;
using vantel::Position;

// Counts what it is given and discards it, so that only drawing is timed.
class Null_buffer : public std::streambuf {
 public:
  std::int64_t written = 0;

 protected:
  int_type overflow(int_type c) override {
    ++written;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    written += n;
    return n;
  }
};

// 10,000 lines of source, some with a tab or a wide character.
std::string ten_thousand_lines() {
  std::string text;
  for (int i = 0; i < 10'000; ++i) {
    text += i % 7 == 0 ? "\tlet v" : "    let v";
    text += std::to_string(i);
    text += i % 11 == 0 ? " = f(\xe5\x80\xa4, other) + 1;\n" : " = compute(argument, other);\n";
  }
  return text;
}

// A thousand labels, one every tenth line, every fourth one secondary and
// every tenth one over three lines.
vantel::Report thousand_labels(const Input& input) {
  vantel::Report report;
  report.code = "E1";
  report.message = "a thousand labels";
  for (std::int64_t i = 0; i < 1'000; ++i) {
    const std::int64_t line = 1 + i * 10;
    const std::int64_t end_line = i % 10 == 9 ? line + 2 : line;
    report.labels.emplace_back(
        input, "bench.calc",
        vantel::Location{Position::of_line_col(line, 9), Position::of_line_col(end_line, 16)},
        "label " + std::to_string(i),
        i % 4 == 3 ? vantel::Label_kind::Secondary : vantel::Label_kind::Primary);
  }
  report.notes.push_back({"note", "drawn for the benchmark"});
  return report;
}

void draw(benchmark::State& state, const vantel::Report& report, const vantel::Layout& options) {
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    vantel::Formatter f(out);
    vantel::pp_report(f, report, options);
  }
  state.counters["output_bytes"] =
      static_cast<double>(buffer.written) / static_cast<double>(state.iterations());
}

// From a string input: its line table is computed once and kept.
void BM_ReportThousandLabelsInMemory(benchmark::State& state) {
  const Input input = Input::string(ten_thousand_lines());
  draw(state, thousand_labels(input), {});
}
BENCHMARK(BM_ReportThousandLabelsInMemory)->Unit(benchmark::kMillisecond);

// From a file: opened, its line table computed and its quoted lines read at
// every report.
void BM_ReportThousandLabelsFromFile(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vantel-report-bench-" + std::to_string(getpid())))
          .string();
  std::ofstream(path, std::ios::binary) << ten_thousand_lines();
  draw(state, thousand_labels(Input::file(path)), {});
  std::remove(path.c_str());
}
BENCHMARK(BM_ReportThousandLabelsFromFile)->Unit(benchmark::kMillisecond);

// The thousand labels and a hundred fixes, one every hundredth line: an
// insertion, a replacement, a deletion or a change over three lines.
void BM_ReportThousandLabelsHundredFixes(benchmark::State& state) {
  const Input input = Input::string(ten_thousand_lines());
  vantel::Report report = thousand_labels(input);
  const vantel::Source source(input, "bench.calc");
  for (std::int64_t i = 0; i < 100; ++i) {
    const std::int64_t line = 5 + i * 100;
    const auto at = [&](std::int64_t col, std::int64_t end_line, std::int64_t end_col) {
      return vantel::Location{Position::of_line_col(line, col),
                              Position::of_line_col(end_line, end_col)};
    };
    vantel::Fix fix;
    fix.message = "fix " + std::to_string(i);
    switch (i % 4) {
      case 0:
        fix.edits.emplace_back(source, at(5, line, 5), "const ");
        break;
      case 1:
        fix.edits.emplace_back(source, at(9, line, 12), "value_");
        fix.edits.emplace_back(source, at(20, line, 20), " /* checked */");
        break;
      case 2:
        fix.edits.emplace_back(source, at(5, line, 9), "");
        break;
      default:
        fix.edits.emplace_back(source, at(9, line + 2, 12), "merged\n    let w");
        break;
    }
    report.fixes.push_back(std::move(fix));
  }
  draw(state, report, {});
}
BENCHMARK(BM_ReportThousandLabelsHundredFixes)->Unit(benchmark::kMillisecond);

// Ten thousand labels spread over one 1 MiB line, in windows of 120 columns.
void BM_ReportTenThousandLabelsOneLine(benchmark::State& state) {
  constexpr std::int64_t size = 1 << 20;
  std::string line;
  line.reserve(size + 1);
  while (static_cast<std::int64_t>(line.size()) < size)
    line += "var a=f(b,c);if(a){g(a)}else{h(\xe5\x80\xa4)};";
  line.resize(size);
  line += "\n";
  const Input input = Input::string(std::move(line));
  vantel::Report report;
  report.message = "ten thousand labels";
  for (std::int64_t i = 0; i < 10'000; ++i) {
    const std::int64_t at = i * (size / 10'000) + i % 7;
    report.labels.emplace_back(
        input, "min.js", vantel::Location{Position::of_offset(at), Position::of_offset(at + 3)},
        i % 3 == 0 ? "" : "label " + std::to_string(i),
        i % 2 == 0 ? vantel::Label_kind::Primary : vantel::Label_kind::Secondary);
  }
  vantel::Layout options;
  options.width = 128;
  options.report.max_labels_per_line = 0;  // every label drawn, as a stress of the windows
  draw(state, report, options);
}
BENCHMARK(BM_ReportTenThousandLabelsOneLine)->Unit(benchmark::kMillisecond);

}  // namespace
