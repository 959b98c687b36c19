// Throughput of building line tables, against a bare memchr loop over the
// same bytes. The texts are generated here, deterministically: lines of 0 to
// 120 bytes of identifier-like text with some indentation.
//
//   line_offsets_bench --benchmark_filter=FromChan   (peak_rss_MiB: the table
//   and one block, not the 256 MiB file)
#include <line_offsets/line_offsets.hpp>
#include <vantel/file_channel.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t memory_size = std::size_t{128} << 20;
constexpr std::size_t file_size = std::size_t{256} << 20;

// Appends source-like lines to `out` until it holds `size` bytes.
class Source_generator {
 public:
  void fill(std::string& out, std::size_t size) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz_0123456789 (){};=+,.";
    while (out.size() < size) {
      const std::size_t len = next() % 121;
      const std::size_t indent = std::min<std::size_t>(len, (next() % 4) * 2);
      out.append(indent, ' ');
      for (std::size_t k = indent; k < len; ++k)
        out.push_back(alphabet[next() % (sizeof alphabet - 1)]);
      out.push_back('\n');
    }
    out.resize(size);
  }

 private:
  std::uint32_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  std::uint32_t state_ = 42;
};

const std::string& text_in_memory() {
  static const std::string text = [] {
    std::string t;
    t.reserve(memory_size);
    Source_generator().fill(t, memory_size);
    return t;
  }();
  return text;
}

// Written block by block, so that the process never holds the whole file.
class Temp_source_file {
 public:
  Temp_source_file() {
    std::string path = (std::filesystem::temp_directory_path() / "vantel-bench-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    ::close(fd);
    path_ = path;
    std::ofstream out(path_, std::ios::binary);
    Source_generator generator;
    std::string chunk;
    for (std::size_t written = 0; written < file_size; written += chunk.size()) {
      chunk.clear();
      generator.fill(chunk, std::size_t{1} << 20);
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    std::string().swap(chunk);
  }
  ~Temp_source_file() { std::remove(path_.c_str()); }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& source_file() {
  static const Temp_source_file file;
  return file.path();
}

double peak_rss_mib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void MemchrFloor(benchmark::State& state) {
  const std::string& text = text_in_memory();
  for (auto _ : state) {
    std::size_t lines = 1;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
      ++lines;
      p = static_cast<const char*>(lf) + 1;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void FromString(benchmark::State& state) {
  const std::string& text = text_in_memory();
  std::size_t lines = 0;
  for (auto _ : state) {
    const auto table = vantel::Line_offsets::from_string(text);
    lines = table.size();
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["lines"] = static_cast<double>(lines);
}

// Through the library's own file stream, as a file input reads.
void FromChan(benchmark::State& state) {
  const std::string& path = source_file();
  std::size_t lines = 0;
  for (auto _ : state) {
    vantel::detail::File_channel channel(path);
    const auto table = vantel::Line_offsets::from_chan(channel.stream());
    lines = table.size();
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_size));
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["peak_rss_MiB"] = peak_rss_mib();
}

// Through a standard file stream, as an in_channel input over one reads.
void FromChanIfstream(benchmark::State& state) {
  const std::string& path = source_file();
  for (auto _ : state) {
    std::ifstream stream(path, std::ios::binary);
    const auto table = vantel::Line_offsets::from_chan(stream);
    benchmark::DoNotOptimize(table.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file_size));
  state.counters["peak_rss_MiB"] = peak_rss_mib();
}

BENCHMARK(MemchrFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(FromString)->Unit(benchmark::kMillisecond);
BENCHMARK(FromChan)->Unit(benchmark::kMillisecond);
BENCHMARK(FromChanIfstream)->Unit(benchmark::kMillisecond);

}  // namespace
