// SPDX-License-Identifier: MIT
// Uses the installed headers and library the way an outside program would.
#include <vantel/vantel.hpp>

#include <iostream>
#include <string>

int main() {
  const auto input = vantel::Input::string("x = 1\nsize = max + 10\n");
  vantel::Formatter f(std::cout);
  vantel::setup_highlight_tags(f,
                               {[] { return std::string("["); }, [] { return std::string("]"); }});

  const auto start = vantel::Position::of_line_col(2, 8);
  vantel::pp(input, f, {{start, vantel::Position::shift(start, 3)}});

  const vantel::Line_table lines{0, 6};
  f.print_string("offset " + std::to_string(vantel::Position::to_offset(input, start)));
  f.print_string(", " + std::to_string(lines.size()) + " lines");
  f.cut();

  // The exported formats, whose JSON library stays inside Vantel.
  vantel::Report report;
  report.message = "unknown name";
  report.labels = {
      vantel::Label::primary({input, "calc"}, {start, vantel::Position::shift(start, 3)})};
  vantel::write_one_line(std::cout, report);
  vantel::Sarif_log log({"consumer", {}, {}, {}});
  log.add(report);
  std::cout << (log.str().find("\"startColumn\": 8") != std::string::npos ? "sarif ok\n"
                                                                          : "sarif?\n");
  return 0;
}
