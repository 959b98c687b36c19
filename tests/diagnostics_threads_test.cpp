// SPDX-License-Identifier: MIT
// Eight threads reporting through one engine and one registry; run under
// ThreadSanitizer by the tsan preset.
#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Each thread adds the same files (the registry keeps the first of each) and
// reports on all of them, so that threads meet on every source.
std::string run_once(vantel::Diagnostics_format format) {
  constexpr int threads = 8;
  constexpr int files = 4;
  vantel::Sources sources;
  vantel::Diagnostics_options options;
  options.format = format;
  options.order = vantel::Diagnostics_order::Sorted;
  options.terminal = vantel::Terminal{};
  std::ostringstream out;
  vantel::Diagnostics engine(out, sources, options);
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&, t] {
      for (int f = 0; f < files; ++f) {
        const std::string name = "f" + std::to_string(f) + ".calc";
        const vantel::Source source = sources.add_text(name, "let a = 1\nlet b = a + a\n");
        vantel::Report report;
        report.severity = t % 2 == 0 ? vantel::Severity::Error : vantel::Severity::Warning;
        report.message = "thread " + std::to_string(t);
        report.labels.emplace_back(source, vantel::Position::of_line_col(2, 5 + t % 3),
                                   vantel::Position::of_line_col(2, 6 + t % 3), "here");
        engine.report(report);
        engine.report(report);  // written once
      }
    });
  for (std::thread& thread : pool) thread.join();
  EXPECT_EQ(engine.count(vantel::Severity::Error), 16u);
  EXPECT_EQ(engine.finish(), 1);
  return out.str();
}

TEST(Threads, EightThreadsThroughOneEngineWriteTheSameSortedOutputEveryRun) {
  for (auto format : {vantel::Diagnostics_format::Drawn, vantel::Diagnostics_format::Sarif}) {
    const std::string first = run_once(format);
    EXPECT_FALSE(first.empty());
    for (int run = 1; run < 20; ++run) ASSERT_EQ(run_once(format), first) << "run " << run;
  }
}

}  // namespace
