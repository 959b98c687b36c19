// SPDX-License-Identifier: MIT
// Data shared by the benchmarks: generated once by vantel-bench-data into the
// folder named by VANTEL_BENCH_DATA (bench/run makes one and removes it).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantel_bench {

// Source-like lines of 0 to 120 bytes: identifier-like text with some
// indentation, from a fixed seed.
class Source_generator {
 public:
  explicit Source_generator(std::uint32_t seed = 42) : state_(seed) {}

  // Appends one line, its line feed included.
  void line(std::string& out) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz_0123456789 (){};=+,.";
    const std::size_t len = next() % 121;
    const std::size_t indent = std::min<std::size_t>(len, (next() % 4) * 2);
    out.append(indent, ' ');
    for (std::size_t k = indent; k < len; ++k)
      out.push_back(alphabet[next() % (sizeof alphabet - 1)]);
    out.push_back('\n');
  }

  // Appends lines until `out` holds `size` bytes; the last one may be cut.
  void fill(std::string& out, std::size_t size) {
    while (out.size() < size) line(out);
    out.resize(size);
  }

  std::uint32_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  std::uint32_t state_;
};

// The files that vantel-bench-data writes.
inline constexpr const char* source_file = "source.txt";      // 256 MiB of lines
inline constexpr const char* minified_file = "minified.txt";  // one 1 MiB line
inline constexpr const char* unit_file = "unit.txt";          // 1,000 lines
inline constexpr const char* lines_file = "lines.txt";        // 100,000 lines, 4 MB
inline constexpr const char* one_line_file = "one_line.txt";  // one 256 MiB line
// Their locations, one command-line argument a line.
inline constexpr const char* near_end_args = "near_end.args";  // 5 bytes near the end
inline constexpr const char* minified_args = "minified.args";  // 100,000 3-byte locations
inline constexpr const char* each_args = "each.args";          // 10,000 locations
inline constexpr const char* lines_args = "lines.args";        // 10,000 locations, all over
inline constexpr const char* at_95_args = "at_95.args";        // 5 bytes at 95 % of the source
inline constexpr const char* mid_line_args = "mid_line.args";  // 5 UTF-16 units mid-line

// The path of a generated file, or empty (and the benchmark skipped) when
// VANTEL_BENCH_DATA is unset.
inline std::string data_path(benchmark::State& state, const char* name) {
  const char* dir = std::getenv("VANTEL_BENCH_DATA");
  if (dir == nullptr || *dir == '\0') {
    state.SkipWithError("VANTEL_BENCH_DATA is unset: run bench/run");
    return {};
  }
  return std::string(dir) + "/" + name;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace vantel_bench
