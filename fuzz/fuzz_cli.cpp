// SPDX-License-Identifier: MIT
// Drives vantel-quote's command line in-process. The input's NUL-separated
// pieces are the arguments, the last piece standard input. Parsing may only
// fail with Usage_error; the whole command, run on standard input, answers
// with an exit status that agrees with the parse and writes to err only when
// it fails.
#include "full_buf.hpp"
#include "fuzz_check.hpp"
#include "vantel-quote/quote_cli.hpp"

#include <vantel/vantel.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// Whether every location stays near the text, or fails to resolve at all:
// a far-away offset asks for an underline that long.
bool modest(const vantel_quote::Options& options, const std::string& text) {
  const vantel::Input input = vantel::Input::string(text);
  const auto reach = 4 * static_cast<std::int64_t>(text.size()) + 256;
  for (const auto& [start, end] : options.locations) {
    for (const vantel::Position* p : {&start, &end}) {
      try {
        const std::int64_t offset = vantel::Position::to_offset(input, *p);
        if (offset < -reach || offset > reach) return false;
      } catch (const std::out_of_range&) {
      } catch (const std::overflow_error&) {
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      pieces.emplace_back();
    else
      pieces.back().push_back(static_cast<char>(data[i]));
  }
  const std::string in_text = pieces.size() > 1 ? pieces.back() : std::string();
  if (pieces.size() > 1) pieces.pop_back();
  const std::vector<std::string>& args = pieces;

  vantel_quote::Options options;
  bool usage_error = false;
  try {
    options = vantel_quote::parse_arguments(args);
  } catch (const vantel_quote::Usage_error& e) {
    CHECK(*e.what() != '\0');
    usage_error = true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "parse_arguments let through: %s\n", e.what());
    std::abort();
  }

  // Only standard input is quoted: a fuzzer-chosen path could name anything.
  const bool quoting = !usage_error && !options.help && !options.version;
  if (quoting && options.file != "-") return 0;

  std::istringstream in(in_text);
  std::ostringstream text_out;
  // Takes 64 KiB, then refuses every byte: far-away offsets ask for an
  // underline longer than any stream takes.
  test::Full_buf budget(65536);
  std::ostream budget_out(&budget);
  // Far-away offsets write into a stream that soon refuses: the command must
  // stop at once and say so.
  const bool far = quoting && !modest(options, in_text);
  std::ostream& out = far ? budget_out : text_out;
  std::ostringstream err;
  int status = -1;
  try {
    status = vantel_quote::run(args, {in, out, err});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "main let through: %s\n", e.what());
    std::abort();
  }
  if (usage_error) {
    CHECK(status == 2);
    CHECK(text_out.str().empty() && !err.str().empty());
  } else {
    CHECK(status == 0 || status == 1);
    CHECK(err.str().empty() == (status == 0));
    CHECK(status == 1 || out.good());
  }
  return 0;
}
