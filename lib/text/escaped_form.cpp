// SPDX-License-Identifier: MIT
#include "text/escaped_form.hpp"

namespace vantel::detail {

bool is_escaped(char32_t c) noexcept {
  if (c < 0x20) return c != '\t';
  if (c >= 0x7F && c <= 0x9F) return true;  // DEL and the C1 controls
  // The bidirectional controls: they reorder what the reader sees without
  // changing what a compiler reads.
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

Escaped_form Escaped_form::of_byte(unsigned char byte) noexcept {
  static constexpr char hex[] = "0123456789ABCDEF";
  Escaped_form form;
  for (const char c : {'<', '0', 'x', hex[byte >> 4], hex[byte & 0xF], '>'})
    form.text_[form.size_++] = c;
  return form;
}

Escaped_form Escaped_form::of_code_point(char32_t code_point) noexcept {
  static constexpr char hex[] = "0123456789ABCDEF";
  Escaped_form form;
  for (const char c : {'<', 'U', '+'}) form.text_[form.size_++] = c;
  // At least four digits, as code points are usually written.
  int digits = 4;
  while (digits < 6 && (code_point >> (4 * digits)) != 0) ++digits;
  for (int d = digits - 1; d >= 0; --d)
    form.text_[form.size_++] = hex[(code_point >> (4 * d)) & 0xF];
  form.text_[form.size_++] = '>';
  return form;
}

}  // namespace vantel::detail
