// SPDX-License-Identifier: MIT
// A host built with -fno-exceptions -fno-rtti, as many compilers are: it
// quotes and reports through the non-throwing calls, and a bad position is a
// message, not the end of the program.
#include <vantel/vantel.hpp>

#include <iostream>
#include <string>

namespace {

const char* const program =
    "let width = 12\n"
    "print width + height\n";

// What the host does with a failure: say it, and go on.
void complain(const vantel::Error& error) {
  std::cout << "cannot quote (" << error.code.message() << "): " << error.message << '\n';
}

}  // namespace

int main() {
  const vantel::Input input = vantel::Input::string(program, "main.calc");
  vantel::Error error;

  std::cout << vantel::to_string(input, {vantel::Location::of_line_cols(2, 15, 2, 21)}, error);
  if (error) complain(error);

  // A lexer that counted one line too many.
  std::cout << vantel::to_string(input, {vantel::Location::of_line_cols(7, 1, 7, 4)}, error);
  if (error) complain(error);

  vantel::Report report;
  report.message = "unknown name";
  report.labels.emplace_back(input, "main.calc", vantel::Position::of_lsp(1, 14),
                             vantel::Position::of_lsp(1, 20), "not declared");
  report.labels.emplace_back(input, "main.calc", vantel::Position::of_lsp(9, 0),
                             vantel::Position::of_lsp(9, 3), "declared here?");
  std::cout << vantel::to_string(report, error);
  if (error) complain(error);

  report.labels.pop_back();
  std::cout << vantel::to_string(report, error);
  if (error) complain(error);
  return 0;
}
