// SPDX-License-Identifier: MIT
// Whole processes: vantel-quote on the generated files, output to /dev/null,
// against `wc -l` reading the same 256 MiB file. Wall time from fork to
// reaping; peak_rss_MiB is the child's largest resident set over the runs.
#include "bench_data.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#ifndef VANTEL_QUOTE_PATH
#define VANTEL_QUOTE_PATH "vantel-quote"
#endif

namespace {

std::string quote_tool() {
  const char* path = std::getenv("VANTEL_QUOTE");
  return path != nullptr && *path != '\0' ? path : VANTEL_QUOTE_PATH;
}

// Runs `argv` with standard output to /dev/null; the child's peak resident
// set in KiB, or -1 when it could not run or failed. The child is spawned
// without copying this process, whose own pages would otherwise count in the
// child's peak; this process stays small besides.
long run(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return -1;
  ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0)
    if (errno != EINTR) return -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

// 100,000 locations need more room for arguments than the default stack limit
// gives (a quarter of it): children inherit this one.
const bool stack_raised = [] {
  rlimit stack{};
  if (::getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY &&
      stack.rlim_cur < (rlim_t{64} << 20)) {
    stack.rlim_cur = std::min<rlim_t>(rlim_t{64} << 20, stack.rlim_max);
    ::setrlimit(RLIMIT_STACK, &stack);
  }
  return true;
}();

void time_process(benchmark::State& state, const std::vector<std::string>& argv) {
  if (run(argv) < 0) {  // also warms the page cache
    state.SkipWithError(("cannot run " + argv[0]).c_str());
    return;
  }
  long peak = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const long rss = run(argv);
    const auto stop = std::chrono::steady_clock::now();
    if (rss < 0) {
      state.SkipWithError(("failed: " + argv[0]).c_str());
      return;
    }
    peak = std::max(peak, rss);
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
}

std::vector<std::string> with_args(std::vector<std::string> argv, const std::string& args_path) {
  for (std::string& arg : vantel_bench::read_lines(args_path)) argv.push_back(std::move(arg));
  return argv;
}

// One 5-byte location near the end of the 256 MiB file, through a file input.
void QuoteNearEndProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::source_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), file},
                                vantel_bench::data_path(state, vantel_bench::near_end_args)));
}
BENCHMARK(QuoteNearEndProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// One 5-byte location at 95 % of the 256 MiB file: the table is scanned that
// far and no further.
void QuoteAt95Process(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::source_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), file},
                                vantel_bench::data_path(state, vantel_bench::at_95_args)));
}
BENCHMARK(QuoteAt95Process)->UseManualTime()->Unit(benchmark::kMillisecond);

// Line 10 of the 256 MiB file: only its top is read.
void QuoteTopProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::source_file);
  if (file.empty()) return;
  time_process(state, {quote_tool(), file, "10:1..10:5"});
}
BENCHMARK(QuoteTopProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// What starting vantel-quote costs, quoting nothing.
void VersionProcess(benchmark::State& state) {
  time_process(state, {quote_tool(), "--version"});
}
BENCHMARK(VersionProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// `wc -l` on one of the data files: what reading it once costs.
void wc_lines(benchmark::State& state, const char* name) {
  const std::string file = vantel_bench::data_path(state, name);
  if (file.empty()) return;
  time_process(state, {"wc", "-l", file});
}

void WcLinesProcess(benchmark::State& state) {
  wc_lines(state, vantel_bench::source_file);
}
BENCHMARK(WcLinesProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// A location at the middle of a 256 MiB line, its columns counted in UTF-16
// code units, in a window of 120 columns; against `wc -l` on the same file.
void MidLineUtf16Process(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::one_line_file);
  if (file.empty()) return;
  time_process(
      state, with_args({quote_tool(), "--columns=utf16", "--display=text", "--max-width=120", file},
                       vantel_bench::data_path(state, vantel_bench::mid_line_args)));
}
BENCHMARK(MidLineUtf16Process)->UseManualTime()->Unit(benchmark::kMillisecond);

void WcOneLineProcess(benchmark::State& state) {
  wc_lines(state, vantel_bench::one_line_file);
}
BENCHMARK(WcOneLineProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// 100,000 locations on one 1 MiB line, one quote.
void ManyLocationsProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::minified_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), file},
                                vantel_bench::data_path(state, vantel_bench::minified_args)));
}
BENCHMARK(ManyLocationsProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// What starting any process with those 100,000 arguments costs.
void TrueManyArgsProcess(benchmark::State& state) {
  const std::string args = vantel_bench::data_path(state, vantel_bench::minified_args);
  if (args.empty()) return;
  time_process(state, with_args({"true"}, args));
}
BENCHMARK(TrueManyArgsProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// 10,000 quotes of a 1,000-line file, one location each.
void EachProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::unit_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), "--each", file},
                                vantel_bench::data_path(state, vantel_bench::each_args)));
}
BENCHMARK(EachProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

// One report of 10,000 labels over a 100,000-line file, and the same
// locations quoted in two columns, which reads the same lines.
void ReportProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), "--message=m", file},
                                vantel_bench::data_path(state, vantel_bench::lines_args)));
}
BENCHMARK(ReportProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

void TwoColumnProcess(benchmark::State& state) {
  const std::string file = vantel_bench::data_path(state, vantel_bench::lines_file);
  if (file.empty()) return;
  time_process(state, with_args({quote_tool(), file},
                                vantel_bench::data_path(state, vantel_bench::lines_args)));
}
BENCHMARK(TwoColumnProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
