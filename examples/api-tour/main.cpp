// SPDX-License-Identifier: MIT
// A tour of the whole public API, one section per operation. Its output is
// checked by CTest and shown in the README.
#include <vantel/vantel.hpp>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using vantel::Input;
using vantel::Location;
using vantel::Position;

namespace {

const char* const program =
    "let width = 12\n"
    "let height = width * 2\n"
    "print width + height\n";

void section(vantel::Formatter& out, const std::string& title) {
  out.print_string("== " + title);
  out.cut();
}

}  // namespace

int main(int argc, char** argv) {
  vantel::Formatter out(std::cout);

  section(out, "Input::string, Position::of_offset");
  const Input text = Input::string(program);
  vantel::pp(text, out, {Location::of_offsets(19, 25)});

  section(out, "Input::bytes, Position::of_line_col");
  auto buffer = std::make_shared<std::vector<char>>(program, program + std::string(program).size());
  const Input bytes = Input::bytes(buffer);
  const Location width = Location::of_line_cols(3, 7, 3, 12);
  vantel::pp(bytes, out, {width});
  (*buffer)[44] = 'W';  // the input sees the buffer as it is at each quote
  vantel::pp(bytes, out, {width});

  section(out, "Input::in_channel, Position::shift");
  std::istringstream stream(program);
  const Position line_3 = Position::of_line_col(3, 1);
  vantel::pp(Input::in_channel(stream), out,
             {{Position::shift(line_3, 14), Position::shift(line_3, 20)}});

  if (argc > 1) {
    section(out, "Input::file");
    vantel::pp(Input::file(argv[1]), out, {Location::of_line_cols(3, 12, 3, 15)});
  }

  section(out, "Input::managed");
  const Input managed = Input::managed([&out] {
    out.print_string("(opened)");
    out.cut();
    return std::make_pair(Input::string(program), vantel::Closer([&out] {
                            out.print_string("(closed)");
                            out.cut();
                          }));
  });
  vantel::pp(managed, out, {Location::of_offsets(4, 9)});

  section(out, "Position::to_offset, Position::to_lexing");
  const Position total = Position::shift(Position::of_line_col(2, 14), 5);
  const vantel::lexing_position p = Position::to_lexing(text, "tour.calc")(total);
  out.print_string("offset " + std::to_string(Position::to_offset(text, total)) + ", " +
                   p.file_name + " line " + std::to_string(p.line_number) + ", line start " +
                   std::to_string(p.line_start) + ", offset " + std::to_string(p.char_offset));
  out.cut();

  section(out, "pp over several lines");
  const Location across{Position::of_offset(4), Position::of_line_col(3, 12)};
  vantel::pp(text, out, {across});

  section(out, "pp as a printer, with max_lines 2");
  const vantel::Printer print = vantel::pp(text, 2);
  print(out, {across});

  section(out, "setup_highlight_tags");
  vantel::setup_highlight_tags(out,
                               {[] { return std::string("["); }, [] { return std::string("]"); }});
  vantel::pp(text, out, {Location::of_offsets(4, 9), Location::of_offsets(12, 14)});

  section(out, "pp_report");
  vantel::Report report;
  report.severity = vantel::Severity::Warning;
  report.code = "W12";
  report.message = "height is computed from width";
  const vantel::Source tour(text, "tour.calc");
  report.labels.push_back(
      vantel::Label::primary(tour, Location::of_offsets(28, 37), "computed here"));
  report.labels.push_back(vantel::Label::secondary(tour, Location::of_offsets(4, 9), "from this"));
  report.notes.push_back({"help", "a report holds labels over any inputs, and notes"});
  vantel::pp_report(out, report);
  return 0;
}
