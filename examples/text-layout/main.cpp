// SPDX-License-Identifier: MIT
// The same two quotes in the byte layout and in the text layout: a
// tab-indented line, and a string of wide characters. A terminal expands the
// tab and draws each of those characters two columns wide, so the byte
// layout's carets drift to the left of what they mark.
#include <vantel/vantel.hpp>

#include <iostream>

int main() {
  const vantel::Input input = vantel::Input::string(
      "func greet() {\n"
      "\tmsg := \"\xe4\xbd\xa0\xe5\xa5\xbd, \xe4\xb8\x96\xe7\x95\x8c\"\n"
      "\tfmt.Println(msgs)\n"
      "}\n");
  using vantel::Position;
  const std::vector<vantel::Location> unknown{
      {Position::of_line_col(3, 14), Position::of_line_col(3, 18)}};
  const std::vector<vantel::Location> world{
      {Position::of_line_col(2, 18), Position::of_line_col(2, 24)}};

  vantel::Formatter out(std::cout);
  vantel::Layout text;
  text.columns = vantel::Layout::Columns::Text;
  for (const vantel::Layout& layout : {vantel::Layout{}, text}) {
    out.print_string(layout.columns == vantel::Layout::Columns::Text ? "== text" : "== bytes");
    out.cut();
    vantel::pp(input, out, unknown, layout);
    vantel::pp(input, out, world, layout);
  }
}
