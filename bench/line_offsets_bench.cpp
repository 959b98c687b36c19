// SPDX-License-Identifier: MIT
// Throughput of building line tables from 256 MiB of source-like text,
// against the floor of a bare memchr loop that only counts the line feeds of
// the same bytes: in memory for from_string, read from the file in blocks of
// 16 KiB for from_chan.
//
//   line_offsets_bench --benchmark_filter=FromChan   (peak_rss_MiB: the table
//   and one block, not the 256 MiB file)
#include "bench_data.hpp"

#include "input/file_channel.hpp"
#include "line_offsets/line_offsets.hpp"

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t block_size = 16384;

const std::string& text_in_memory(benchmark::State& state) {
  static const std::string text = [&] {
    const std::string path = vantel_bench::data_path(state, vantel_bench::source_file);
    return path.empty() ? std::string() : vantel_bench::read_file(path);
  }();
  return text;
}

double peak_rss_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

std::size_t count_line_feeds(const char* p, const char* end) {
  std::size_t lines = 0;
  while (const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
    ++lines;
    p = static_cast<const char*>(lf) + 1;
  }
  return lines;
}

void MemchrFloor(benchmark::State& state) {
  const std::string& text = text_in_memory(state);
  for (auto _ : state) {
    std::size_t lines = 1 + count_line_feeds(text.data(), text.data() + text.size());
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void FromString(benchmark::State& state) {
  const std::string& text = text_in_memory(state);
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto table = vantel::Line_offsets::from_string(text);
    lines = table.size();
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  state.counters["lines"] = static_cast<double>(lines);
}

// The file read with read(2) in blocks of 16 KiB, its line feeds counted.
void MemchrFileFloor(benchmark::State& state) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::source_file);
  if (path.empty()) return;
  const auto block = std::make_unique<char[]>(block_size);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      state.SkipWithError(std::strerror(errno));
      return;
    }
    std::size_t lines = 1;
    for (;;) {
      const ssize_t got = ::read(fd, block.get(), block_size);
      if (got <= 0) break;
      bytes += got;
      lines += count_line_feeds(block.get(), block.get() + got);
    }
    ::close(fd);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(bytes);
}

// Through the library's own file stream, as a file input reads.
void FromChan(benchmark::State& state) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::source_file);
  if (path.empty()) return;
  std::size_t lines = 0;
  for (auto _ : state) {
    vantel::detail::File_channel channel(path);
    const auto table = vantel::Line_offsets::from_chan(channel.stream());
    lines = table.size();
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * (std::int64_t{256} << 20)));
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["peak_rss_MiB"] = peak_rss_mib();
}

// Through a standard file stream, as an in_channel input over one reads.
void FromChanIfstream(benchmark::State& state) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::source_file);
  if (path.empty()) return;
  for (auto _ : state) {
    std::ifstream stream(path, std::ios::binary);
    const auto table = vantel::Line_offsets::from_chan(stream);
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * (std::int64_t{256} << 20)));
  state.counters["peak_rss_MiB"] = peak_rss_mib();
}

BENCHMARK(MemchrFloor)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FromString)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(MemchrFileFloor)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FromChan)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FromChanIfstream)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
