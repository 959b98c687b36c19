// SPDX-License-Identifier: MIT
// vantel-quote: quotes a file around locations from the command line.
#include "vantel-quote/quote_cli.hpp"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const int skip = argc > 0 ? 1 : 0;
  vantel_quote::Environment env{std::cin, std::cout, std::cerr, isatty(STDOUT_FILENO) == 1,
                                std::getenv("NO_COLOR")};
  env.in_descriptor = STDIN_FILENO;
  if (winsize size{}; env.out_is_terminal && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
    env.terminal_width = size.ws_col;
  return vantel_quote::run(argv + skip, static_cast<std::size_t>(argc - skip), env);
}
