// SPDX-License-Identifier: MIT
#include "support/message_text.hpp"

#include <cstdint>

namespace vantel::detail {

namespace {

constexpr char digits[] = "0123456789ABCDEF";

// The code point that starts at `text[at]` and its length; length 0 when the
// bytes there are not valid UTF-8.
std::pair<char32_t, std::size_t> decode(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07u, least = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() - at < length) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[at + k]);
    if ((c & 0xC0u) != 0x80) return {0, 0};
    value = (value << 6) | (c & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {0, 0};
  return {value, length};
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
