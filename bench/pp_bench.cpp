// SPDX-License-Identifier: MIT
// Quotes through pp, in-process, on the generated files: many locations on
// one long line in one call, and many one-location quotes of one input.
#include "bench_data.hpp"
#include "null_buffer.hpp"

#include <vantel/vantel.hpp>
#include "vantel-quote/quote_cli.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using vantel_bench::Null_buffer;

// The locations of an arguments file, parsed as vantel-quote parses them.
std::vector<vantel::Location> locations(const std::string& args_path) {
  std::vector<std::string> args = vantel_bench::read_lines(args_path);
  args.insert(args.begin(), "FILE");
  return vantel_quote::parse_arguments(args).locations;
}

// 100,000 disjoint 3-byte locations on one 1 MiB line: one pp call.
void PpManyLocationsOneLine(benchmark::State& state) {
  const std::string text_path = vantel_bench::data_path(state, vantel_bench::minified_file);
  if (text_path.empty()) return;
  const vantel::Input input = vantel::Input::string(vantel_bench::read_file(text_path));
  const auto located = locations(vantel_bench::data_path(state, vantel_bench::minified_args));
  Null_buffer buffer;
  std::ostream out(&buffer);
  for (auto _ : state) {
    vantel::Formatter formatter(out);
    vantel::pp(input, formatter, located);
  }
  state.counters["locations"] = static_cast<double>(located.size());
}
BENCHMARK(PpManyLocationsOneLine)->UseRealTime()->Unit(benchmark::kMillisecond);

// One quote of one location of a 1,000-line file, as a compiler prints each
// diagnostic; the input (and so its line table) is kept from quote to quote.
void PpEachQuote(benchmark::State& state) {
  const std::string text_path = vantel_bench::data_path(state, vantel_bench::unit_file);
  if (text_path.empty()) return;
  const vantel::Input input = vantel::Input::string(vantel_bench::read_file(text_path));
  std::vector<std::vector<vantel::Location>> quotes;
  for (auto& location : locations(vantel_bench::data_path(state, vantel_bench::each_args)))
    quotes.push_back({std::move(location)});
  Null_buffer buffer;
  std::ostream out(&buffer);
  vantel::Formatter formatter(out);
  std::size_t next = 0;
  for (auto _ : state) {
    vantel::pp(input, formatter, quotes[next]);
    if (++next == quotes.size()) next = 0;
  }
}
BENCHMARK(PpEachQuote)->UseRealTime()->Unit(benchmark::kNanosecond);

// 10,000 one-location quotes spread over a 4 MB, 100,000-line file, through
// one input made for the run: a file input (opened at each quote, its line
// table kept while the file is unchanged), the same input opened once for all
// of them, and a string input of the same text.
enum class Source { File, Opened, String };

void quote_all_over(benchmark::State& state, Source source) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (path.empty()) return;
  const std::string text = vantel_bench::read_file(path);
  std::vector<std::vector<vantel::Location>> quotes;
  for (auto& location : locations(vantel_bench::data_path(state, vantel_bench::lines_args)))
    quotes.push_back({std::move(location)});
  Null_buffer buffer;
  std::ostream out(&buffer);
  vantel::Formatter formatter(out);
  for (auto _ : state) {
    state.PauseTiming();
    std::string copy = source == Source::String ? text : std::string();
    state.ResumeTiming();
    const vantel::Input input = source == Source::String ? vantel::Input::string(std::move(copy))
                                                         : vantel::Input::file(path);
    if (source == Source::Opened) {
      const vantel::Opened opened = input.open();
      for (const auto& quote : quotes) vantel::pp(opened, formatter, quote);
    } else {
      for (const auto& quote : quotes) vantel::pp(input, formatter, quote);
    }
  }
  state.counters["quotes"] = static_cast<double>(quotes.size());
}

void PpAllOverFile(benchmark::State& state) {
  quote_all_over(state, Source::File);
}
BENCHMARK(PpAllOverFile)->UseRealTime()->Unit(benchmark::kMillisecond);

void PpAllOverOpened(benchmark::State& state) {
  quote_all_over(state, Source::Opened);
}
BENCHMARK(PpAllOverOpened)->UseRealTime()->Unit(benchmark::kMillisecond);

void PpAllOverString(benchmark::State& state) {
  quote_all_over(state, Source::String);
}
BENCHMARK(PpAllOverString)->UseRealTime()->Unit(benchmark::kMillisecond);

// What a file input cannot avoid for each of those quotes: opening the file,
// checking that it is unchanged, reading a page of it and closing it.
void open_read_close(const std::string& path) {
  char page[4096];
  for (int i = 0; i < 10'000; ++i) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    ::fstat(fd, &info);
    const auto at = static_cast<off_t>(i) * 7919 % 100'000 * 40;
    benchmark::DoNotOptimize(::pread(fd, page, sizeof page, at));
    ::close(fd);
  }
}

void OpenReadCloseFloor(benchmark::State& state) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (path.empty()) return;
  for (auto _ : state) open_read_close(path);
}
BENCHMARK(OpenReadCloseFloor)->UseRealTime()->Unit(benchmark::kMillisecond);

// A linter's run: 5,000 reports of three labels each, from the same 10,000
// locations of the 100,000-line file, through one opening of the file, and
// from a string input of the same text.
void reports(benchmark::State& state, Source source) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (path.empty()) return;
  const std::string text = vantel_bench::read_file(path);
  const auto located = locations(vantel_bench::data_path(state, vantel_bench::lines_args));
  Null_buffer buffer;
  std::ostream out(&buffer);
  vantel::Formatter formatter(out);
  constexpr std::size_t count = 5'000;
  for (auto _ : state) {
    state.PauseTiming();
    std::string copy = source == Source::String ? text : std::string();
    state.ResumeTiming();
    const vantel::Input input = source == Source::String ? vantel::Input::string(std::move(copy))
                                                         : vantel::Input::file(path);
    const vantel::Opened opened = input.open();
    const vantel::Source shown{opened.input(), "lines.txt"};
    for (std::size_t r = 0; r < count; ++r) {
      vantel::Report report;
      report.message = "three labels";
      for (std::size_t k = 0; k < 3; ++k) {
        const vantel::Location& at = located[(r * 3 + k) % located.size()];
        report.labels.push_back(k == 0 ? vantel::Label::primary(shown, at, "here")
                                       : vantel::Label::secondary(shown, at, "and here"));
      }
      vantel::pp_report(formatter, report);
    }
  }
  state.counters["reports"] = static_cast<double>(count);
}

void PpReportsThroughOpened(benchmark::State& state) {
  reports(state, Source::Opened);
}
BENCHMARK(PpReportsThroughOpened)->UseRealTime()->Unit(benchmark::kMillisecond);

void PpReportsFromString(benchmark::State& state) {
  reports(state, Source::String);
}
BENCHMARK(PpReportsFromString)->UseRealTime()->Unit(benchmark::kMillisecond);

// Runs `work(t)` in state.range(0) threads at once, t = 0, 1, ..., for each
// iteration.
template <class Work>
void in_threads(benchmark::State& state, const Work& work) {
  for (auto _ : state) {
    std::vector<std::thread> threads;
    for (std::int64_t t = 0; t < state.range(0); ++t)
      threads.emplace_back(work, static_cast<std::size_t>(t));
    for (std::thread& thread : threads) thread.join();
  }
}

// Threads quoting the same 10,000 locations all over the 100,000-line file;
// the argument is the number of threads. Through one file input shared by
// all, each quote opens the file; through one Opened shared by all, none
// does. Apart, each thread quotes through an Opened of its own: nothing is
// shared, so its scaling is what the machine allows the shared ones.
enum class Shared { File, Opened, Nothing };

void threads(benchmark::State& state, Shared shared) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (path.empty()) return;
  std::vector<std::vector<vantel::Location>> quotes;
  for (auto& location : locations(vantel_bench::data_path(state, vantel_bench::lines_args)))
    quotes.push_back({std::move(location)});
  const vantel::Input file = vantel::Input::file(path);
  const auto count = static_cast<std::size_t>(state.range(0));
  // An Opened for all, one for each thread, or none.
  std::vector<vantel::Opened> opened;
  const std::size_t openings = shared == Shared::Nothing ? count : shared == Shared::Opened ? 1 : 0;
  for (std::size_t t = 0; t < openings; ++t) opened.push_back(vantel::Input::file(path).open());
  const auto quote_all = [&](std::size_t t) {
    const vantel::Input& input = shared == Shared::File     ? file
                                 : shared == Shared::Opened ? opened[0].input()
                                                            : opened[t].input();
    Null_buffer buffer;
    std::ostream out(&buffer);
    vantel::Formatter formatter(out);
    for (const auto& quote : quotes) vantel::pp(input, formatter, quote);
  };
  // The kept tables, scanned once.
  for (std::size_t t = 0; t < std::max<std::size_t>(openings, 1); ++t) quote_all(t);
  in_threads(state, quote_all);
  state.counters["quotes"] = static_cast<double>(quotes.size() * count);
}

void PpThreads(benchmark::State& state) {
  threads(state, Shared::File);
}
BENCHMARK(PpThreads)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

void PpThreadsOpened(benchmark::State& state) {
  threads(state, Shared::Opened);
}
BENCHMARK(PpThreadsOpened)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

void PpThreadsApart(benchmark::State& state) {
  threads(state, Shared::Nothing);
}
BENCHMARK(PpThreadsApart)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

// The system calls that each quote of a file input makes, in threads: how
// far the machine lets them scale.
void OpenReadCloseThreads(benchmark::State& state) {
  const std::string path = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (path.empty()) return;
  in_threads(state, [&](std::size_t) { open_read_close(path); });
}
BENCHMARK(OpenReadCloseThreads)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
