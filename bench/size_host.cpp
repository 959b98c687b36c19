// SPDX-License-Identifier: MIT
// A minimal host, built three ways for bench/run's size rows: without Vantel
// (SIZE_HOST 0), drawing a quote and a report (1), and writing the report in
// every data format too (2). The stripped sizes' differences are what Vantel
// adds to a host.
#if SIZE_HOST > 0
#include <vantel/vantel.hpp>
#endif

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const std::string text = argc > 1 ? argv[1] : "let a = 1\n";
#if SIZE_HOST == 0
  std::cout << "1 | " << text << "    ^\n";
#else
  vantel::Formatter formatter(std::cout);
  const vantel::Source source(vantel::Input::view(text), "a.calc");
  vantel::pp(source.input, formatter, {vantel::Location::of_offsets(4, 5)});
  vantel::Report report;
  report.message = "unused";
  report.labels.push_back(vantel::Label::primary(source, vantel::Location::of_offsets(4, 5)));
  vantel::pp_report(formatter, report, vantel::terminal_for(std::cout).layout);
#if SIZE_HOST == 2
  vantel::write_one_line(std::cout, report);
  std::cout << vantel::to_lsp_json(report);
  vantel::Sarif_log log({});
  log.add(report);
  log.write(std::cout);
#endif
#endif
}
