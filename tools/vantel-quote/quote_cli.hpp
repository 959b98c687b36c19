// SPDX-License-Identifier: MIT
// Running vantel-quote, apart from the process so that it can be tested and
// fuzzed in-process.
#pragma once

#include "vantel-quote/arguments.hpp"

#include <vantel/vantel.hpp>

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel_quote {

// What the process is connected to.
struct Environment {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // What standard output is: by default not a terminal, without colour.
  vantel::Terminal terminal{};
  // The descriptor under `in`, read directly when it is known (at least 0),
  // so that its failures carry the system's error; `in` otherwise.
  int in_descriptor = -1;
};

// Runs the whole command: 0 when the quote was printed (or there was nothing
// to print), 1 when the library failed or `out` could not be written (one
// line on `err`), 2 for a usage error.
int run(const std::vector<std::string>& args, Environment env);
int run(const char* const* args, std::size_t count, Environment env);
// Runs what `options` ask for: as above, a usage error aside.
int run(const Options& options, Environment env);

}  // namespace vantel_quote
