// SPDX-License-Identifier: MIT
// The visible stand-ins for what must not reach a terminal as it is.
//
// A byte that is not valid UTF-8, a C0 control other than tab, and DEL are
// shown as <0xHH>, the byte in hexadecimal: the hex value tells which it is,
// since an invalid byte is never below 0x80. C1 controls, the bidirectional
// controls, and code points that would take no column where a cluster begins
// (a lone combining mark, a zero-width space) are shown as <U+HHHH>.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantel::detail {

// Whether a code point is shown escaped wherever it stands.
[[nodiscard]] bool is_escaped(char32_t code_point) noexcept;

// The escaped form of a byte or of a code point: at most "<U+10FFFF>".
class Escaped_form {
 public:
  Escaped_form() = default;
  [[nodiscard]] static Escaped_form of_byte(unsigned char byte) noexcept;
  [[nodiscard]] static Escaped_form of_code_point(char32_t code_point) noexcept;

  [[nodiscard]] std::string_view text() const noexcept { return {text_, size_}; }

 private:
  char text_[10] = {};
  std::size_t size_ = 0;
};

}  // namespace vantel::detail
