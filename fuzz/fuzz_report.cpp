// SPDX-License-Identifier: MIT
// Draws reports of fuzzer-chosen texts, labels, messages and options, and
// checks that only documented failures escape, that every tag opens and
// closes within one row, that no control byte but the line feed reaches the
// output, that the rows of text stay within the maximum width, that drawing
// again gives the same bytes, and that a stream that throws at any byte
// leaves no tag of the report's open inside the caller's. The options are
// those that came before Layout, which reach the same drawing.
#include <vantel/vantel.hpp>
#include "full_buf.hpp"
#include "fuzz_check.hpp"

#include "text/cluster_walk.hpp"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ios>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using vantel::Input;
using vantel::Label;
using vantel::Position;

struct Drawn {
  std::string out;
  int depth = 0;
  bool balanced = true;
};

Drawn draw(const vantel::Report& report, const vantel::Report_options& options) {
  Drawn d;
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::Stag_functions functions;
  functions.print_open_stag = [&](const vantel::Stag&) {
    // A tag opens only where nothing else is open.
    if (d.depth != 0) d.balanced = false;
    ++d.depth;
  };
  functions.print_close_stag = [&](const vantel::Stag&) {
    if (--d.depth != 0) d.balanced = false;
  };
  f.set_stag_functions(std::move(functions));
  f.set_print_tags(true);
  const auto failure = fuzz::outcome([&] { vantel::pp_report(f, report, options); });
  CHECK(failure != fuzz::Failure::overflow);
  if (failure == fuzz::Failure::out_of_range) CHECK(out.str().empty());
  d.out = out.str();
  return d;
}

std::int64_t position(FuzzedDataProvider& d, std::int64_t size) {
  switch (d.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return -1;
    case 1:
      return d.ConsumeIntegral<std::int64_t>();
    default:
      return d.ConsumeIntegralInRange<std::int64_t>(-2, size + 4);
  }
}

// SARIF and the one-line format resolve every label: both fail or neither
// does; LSP JSON, which resolves secondary labels only as the related
// information of primary ones, fails only where they fail. What they write is well-formed: JSON
// that a strict parser (which checks UTF-8 too) takes, ranges that do not end before they start,
// and one-line output made of whole, non-empty lines.
void check_exports(const vantel::Report& report) {
  std::string lsp;
  std::string lines;
  std::string sarif;
  vantel::Sarif_log log({"fuzz", {}, {}, {}});
  const fuzz::Failure a = fuzz::outcome([&] { lsp = vantel::to_lsp_json(report); });
  const fuzz::Failure b = fuzz::outcome([&] { lines = vantel::to_one_line(report); });
  const fuzz::Failure c = fuzz::outcome([&] {
    log.add(report);
    sarif = log.str();
  });
  CHECK(b == c && (a == fuzz::Failure::none || a == b));
  if (b != fuzz::Failure::none) {
    CHECK(log.size() == 0);
    return;
  }
  CHECK(nlohmann::json::accept(sarif));
  CHECK(nlohmann::json::accept(lsp));
  for (const auto& d : nlohmann::json::parse(lsp)) {
    const auto& start = d["range"]["start"];
    const auto& end = d["range"]["end"];
    CHECK(start["line"] < end["line"] ||
          (start["line"] == end["line"] && start["character"] <= end["character"]));
    CHECK(start["character"] >= 0);
  }
  CHECK(lines.empty() || lines.back() == '\n');
  CHECK(lines.find("\n\n") == std::string::npos && (lines.empty() || lines.front() != '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider d(data, size);
  const std::string texts[2] = {d.ConsumeRandomLengthString(2048),
                                d.ConsumeRandomLengthString(512)};
  const Input inputs[2] = {Input::string(texts[0]), Input::string(texts[1])};

  vantel::Report report;
  report.severity = vantel::Severity::of_word(d.ConsumeRandomLengthString(12));
  report.code = d.ConsumeRandomLengthString(8);
  report.message = d.ConsumeRandomLengthString(40);
  const int labels = d.ConsumeIntegralInRange(0, d.ConsumeBool() ? 40 : 6);
  for (int i = 0; i < labels; ++i) {
    const int which = d.ConsumeIntegralInRange(0, 1);
    const auto length = static_cast<std::int64_t>(texts[which].size());
    Position start = Position::of_offset(position(d, length));
    Position end = Position::of_offset(position(d, length));
    if (d.ConsumeIntegralInRange(0, 5) == 0) {
      const std::int64_t line = d.ConsumeIntegralInRange<std::int64_t>(-1, 40);
      start = Position::of_line_col(line, d.ConsumeIntegralInRange<std::int64_t>(-2, 80));
    }
    report.labels.emplace_back(
        inputs[which], which == 0 ? "a" : "b\x1b", vantel::Location{start, end},
        d.ConsumeRandomLengthString(24),
        d.ConsumeBool() ? vantel::Label_kind::Primary : vantel::Label_kind::Secondary);
  }
  const int notes = d.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < notes; ++i)
    report.notes.push_back({d.ConsumeRandomLengthString(6), d.ConsumeRandomLengthString(40)});

  vantel::Report_options options;
  options.tab_width = d.ConsumeIntegralInRange(0, 65);
  options.max_width = d.ConsumeBool() ? 0 : d.ConsumeIntegralInRange<std::int64_t>(-1, 100);
  const bool valid = options.tab_width >= 1 && options.tab_width <= 64 && options.max_width >= 0;

  if (!valid) {
    std::ostringstream out;
    vantel::Formatter f(out);
    bool thrown = false;
    try {
      vantel::pp_report(f, report, options);
    } catch (const std::invalid_argument&) {
      thrown = true;
    }
    CHECK(thrown && out.str().empty());
    return 0;
  }

  check_exports(report);
  const Drawn first = draw(report, options);
  CHECK(first.balanced && first.depth == 0);
  const Drawn second = draw(report, options);
  CHECK(second.out == first.out);

  // Line feeds end rows, tags never span one, and nothing else below 0x20
  // (nor DEL) is written: everything is escaped.
  for (const char c : first.out) {
    const auto byte = static_cast<unsigned char>(c);
    CHECK(byte == '\n' || (byte >= 0x20 && byte != 0x7F));
  }
  CHECK(first.out.empty() || first.out.back() == '\n');

  // A row of text: "N | ", at most the margin's lanes, a marker a side and
  // the window, which is at most max_width wide.
  if (options.max_width > 0) {
    std::istringstream rows(first.out);
    for (std::string row; std::getline(rows, row);) {
      const std::size_t digits = row.find_first_not_of(' ');
      const std::size_t bar = row.find_first_not_of("0123456789", digits);
      if (digits == std::string::npos || bar == std::string::npos || bar == digits ||
          row.compare(bar, 3, " | ") != 0)
        continue;
      const std::string rest = row.substr(bar + 3);
      vantel::detail::Cluster_walk walk(rest, options.tab_width);
      vantel::detail::Cluster cluster;
      while (walk.next(cluster)) {
      }
      // A window is wider only to hold one cluster: at most "<U+10FFFF>", or
      // a tab.
      const std::int64_t window =
          std::max<std::int64_t>({options.max_width, 10, options.tab_width});
      if (walk.column() > window + 2 + labels + 1)
        std::fprintf(stderr, "max_width %lld, row:\n%s\nin:\n%s",
                     static_cast<long long>(options.max_width), row.c_str(), first.out.c_str());
      CHECK(walk.column() <= window + 2 + labels + 1);
    }
  }

  // A stream that stops taking bytes halfway: once it has failed, the report
  // opens no more tags, a sign that it stopped drawing rather than drawing
  // into nothing.
  {
    test::Full_buf full(static_cast<std::streamsize>(first.out.size() / 2));
    std::ostream refusing(&full);
    vantel::Formatter g(refusing);
    int late = 0;
    vantel::Stag_functions counting;
    counting.print_open_stag = [&](const vantel::Stag&) { late += refusing.bad() ? 1 : 0; };
    g.set_stag_functions(std::move(counting));
    g.set_print_tags(true);
    if (fuzz::outcome([&] { vantel::pp_report(g, report, options); }) == fuzz::Failure::none)
      CHECK(late == 0);
  }

  // A stream that throws after some bytes: the caller's tag is the only one
  // left open, and the failure is the stream's.
  test::Full_buf buf(static_cast<std::streamsize>(first.out.size() / 2));
  std::ostream out(&buf);
  out.exceptions(std::ios_base::badbit);
  vantel::Formatter f(out);
  int depth = 0;
  vantel::Stag_functions functions;
  functions.print_open_stag = [&depth](const vantel::Stag&) { ++depth; };
  functions.print_close_stag = [&depth](const vantel::Stag&) { --depth; };
  f.set_stag_functions(std::move(functions));
  f.set_print_tags(true);
  const vantel::Stag host{"host"};
  f.open_stag(host);
  bool failed = false;
  bool outside = false;  // a position outside the input, found before drawing
  try {
    vantel::pp_report(f, report, options);
  } catch (const std::ios_base::failure&) {
    failed = true;
  } catch (const std::out_of_range&) {
    outside = true;
  }
  CHECK(depth == 1);
  if (!outside) CHECK(failed == (buf.taken.size() < first.out.size()));
  return 0;
}
