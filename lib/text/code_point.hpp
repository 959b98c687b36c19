// SPDX-License-Identifier: MIT
// Decoding a line one code point at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantel::detail {

// One step of decoding: a code point, or one byte that does not start a
// well-formed UTF-8 sequence (overlong forms, surrogates and values past
// U+10FFFF included).
struct Code_point {
  char32_t value = 0;      // the code point; the byte itself when not valid
  std::size_t length = 0;  // bytes taken: 1 to 4, always 1 when not valid
  bool valid = false;

  // Code units of the code point in UTF-16. A byte that is not valid counts
  // as one, as if it had been replaced by U+FFFD.
  [[nodiscard]] std::size_t utf16_units() const noexcept { return valid && value > 0xFFFF ? 2 : 1; }
};

// Decodes the code point that starts at `at`, which must be below the size
// of `text`.
[[nodiscard]] Code_point decode(std::string_view text, std::size_t at) noexcept;

}  // namespace vantel::detail
