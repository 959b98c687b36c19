// SPDX-License-Identifier: MIT
// The mark of a side of a row that was cut, in quotes and reports alike.
#pragma once

#include "draw/in_tag.hpp"

#include <vantel/formatter.hpp>
#include <vantel/layout.hpp>
#include <vantel/styles.hpp>

#include <cstdint>
#include <string_view>

namespace vantel::detail {

struct Cut_marker {
  std::string_view text;
  std::int64_t width;  // display columns
};

[[nodiscard]] constexpr Cut_marker cut_marker(Charset charset) noexcept {
  return charset == Charset::Ascii ? Cut_marker{"...", 3} : Cut_marker{"\xE2\x80\xA6", 1};
}

// Writes the marker in its tag.
inline void print_cut_marker(Formatter& f, Charset charset) {
  print_in_tag(f, Cut_marker_tag, [&] { f.print_string(cut_marker(charset).text); });
}

}  // namespace vantel::detail
