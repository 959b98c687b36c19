// SPDX-License-Identifier: MIT
#include "support/message_text.hpp"

#include <utf8proc.h>

#include <cstdint>
#include <utility>

namespace vantel::detail {

namespace {

constexpr char digits[] = "0123456789ABCDEF";

// The code point that starts at `text[at]` and its length; length 0 when the
// bytes there are not well-formed UTF-8.
std::pair<char32_t, std::size_t> decode(std::string_view text, std::size_t at) {
  const std::size_t left = text.size() - at;
  const auto size = static_cast<utf8proc_ssize_t>(left < 4 ? left : 4);
  utf8proc_int32_t value = 0;
  const utf8proc_ssize_t taken =
      utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at), size, &value);
  if (taken <= 0) return {0, 0};
  return {static_cast<char32_t>(value), static_cast<std::size_t>(taken)};
}

bool hidden(char32_t c) {
  return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E ||
         c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void put_hex(std::string& out, std::uint32_t value, int digit_count) {
  for (int k = digit_count - 1; k >= 0; --k) out += digits[(value >> (4 * k)) & 0xFu];
}

}  // namespace

std::string message_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto [c, length] = decode(text, at);
    if (length == 0 || (c < 0x80 && hidden(c))) {
      out += "<0x";
      put_hex(out, static_cast<unsigned char>(text[at]), 2);
      out += '>';
      ++at;
    } else if (hidden(c)) {
      out += "<U+";
      put_hex(out, static_cast<std::uint32_t>(c), 4);
      out += '>';
      at += length;
    } else {
      out.append(text, at, length);
      at += length;
    }
  }
  return out;
}

}  // namespace vantel::detail
