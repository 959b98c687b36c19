// SPDX-License-Identifier: MIT
// A stream buffer that fills up, shared by the tests and the fuzzers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ios>
#include <streambuf>
#include <string>

namespace test {

// Takes `room` bytes, then refuses every byte, as a full disk does; counts
// the calls made of it after that.
class Full_buf final : public std::streambuf {
 public:
  explicit Full_buf(std::streamsize room) : room_(room) {}
  std::string taken;
  int refused_calls = 0;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const std::streamsize took = std::min(n, room_);
    taken.append(s, static_cast<std::size_t>(took));
    room_ -= took;
    if (took < n) ++refused_calls;
    return took;
  }
  int_type overflow(int_type c) override {
    const char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? traits_type::not_eof(c) : traits_type::eof();
  }

 private:
  std::streamsize room_;
};

}  // namespace test
