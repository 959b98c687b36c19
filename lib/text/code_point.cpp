// SPDX-License-Identifier: MIT
#include "text/code_point.hpp"

#include <utf8proc.h>

namespace vantel::detail {

Code_point decode(std::string_view text, std::size_t at) noexcept {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) return {byte, 1, true};
  // A sequence is at most 4 bytes: never hand the decoder more, so that a
  // line of any length costs the same per code point.
  const std::size_t left = text.size() - at;
  const auto size = static_cast<utf8proc_ssize_t>(left < 4 ? left : 4);
  utf8proc_int32_t value = 0;
  const utf8proc_ssize_t taken =
      utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at), size, &value);
  if (taken <= 0) return {byte, 1, false};
  return {static_cast<char32_t>(value), static_cast<std::size_t>(taken), true};
}

}  // namespace vantel::detail
