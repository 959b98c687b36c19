// Quotes through pp, in-process, on the generated files: many locations on
// one long line in one call, and many one-location quotes of one input.
#include "bench_data.hpp"

#include <vantel/vantel.hpp>
#include "vantel-quote/quote_cli.hpp"

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Discards what it is given, so that only quoting is timed.
class Null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

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

}  // namespace
