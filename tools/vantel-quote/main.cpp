// SPDX-License-Identifier: MIT
// vantel-quote: quotes a file around locations from the command line.
#include "vantel-quote/quote_cli.hpp"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const int skip = argc > 0 ? 1 : 0;
  vantel_quote::Environment env{std::cin, std::cout, std::cerr};
  env.terminal = vantel::terminal_for(STDOUT_FILENO);
  env.in_descriptor = STDIN_FILENO;
  return vantel_quote::run(argv + skip, static_cast<std::size_t>(argc - skip), env);
}
