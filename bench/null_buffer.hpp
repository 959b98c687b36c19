// SPDX-License-Identifier: MIT
// A stream buffer that discards what it is given, so that only the work of
// writing is timed.
#pragma once

#include <streambuf>

namespace vantel_bench {

class Null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace vantel_bench
