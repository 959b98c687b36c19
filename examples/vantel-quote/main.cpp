// vantel-quote: quotes a file around locations from the command line.
#include "quote_cli.hpp"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return vantel_quote::main(
      args, {std::cin, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR")});
}
