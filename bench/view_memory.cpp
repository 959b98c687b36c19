// SPDX-License-Identifier: MIT
// A host's text quoted in place many times, for bench/run's peak-resident row:
// view_memory MIB LINE_BYTES builds a text of MIB MiB in lines of LINE_BYTES
// bytes (line feed included), quotes it 10,000 times at places all over it
// through one Input::view, and prints the text's size in KiB. Run under
// `/usr/bin/time -v`, what the process peaks at over that size is what the
// library kept: the line table, and little more.
#include <vantel/vantel.hpp>
#include "null_buffer.hpp"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <streambuf>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: view_memory MIB LINE_BYTES\n";
    return 2;
  }
  const auto size = static_cast<std::size_t>(std::strtoull(argv[1], nullptr, 10)) << 20;
  const auto line = static_cast<std::size_t>(std::strtoull(argv[2], nullptr, 10));
  if (line < 2) return 2;
  std::string text(size, 'x');
  for (std::size_t at = line - 1; at < size; at += line) text[at] = '\n';
  const auto lines = static_cast<std::int64_t>(size / line);

  vantel_bench::Null_buffer null;
  std::ostream out(&null);
  vantel::Formatter formatter(out);
  const vantel::Input input = vantel::Input::view(text, "big.txt");
  // Places spread over the whole text in a scrambled order, half by line and
  // column, half by offset.
  std::uint64_t seed = 12345;
  for (int k = 0; k < 10'000; ++k) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto at = static_cast<std::int64_t>((seed >> 17) % static_cast<std::uint64_t>(lines));
    if (k % 2 == 0) {
      vantel::pp(input, formatter, {vantel::Location::of_line_cols(at + 1, 2, at + 1, 6)});
    } else {
      const auto offset = at * static_cast<std::int64_t>(line) + 1;
      vantel::pp(input, formatter, {vantel::Location::of_offsets(offset, offset + 4)});
    }
  }
  std::cout << (size >> 10) << '\n';
}
