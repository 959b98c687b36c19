// SPDX-License-Identifier: MIT
#include "export/json_text.hpp"

#include "text/code_point.hpp"

#include <cstdint>
#include <cstring>

namespace vantel::detail {

namespace {

// The length of the run of ASCII bytes at `at`, eight at a time: most text
// written as JSON is ASCII, and decoding it byte by byte costs more than
// writing it.
std::size_t ascii_run(std::string_view text, std::size_t at) noexcept {
  const std::size_t start = at;
  for (std::uint64_t word = 0; text.size() - at >= sizeof word; at += sizeof word) {
    std::memcpy(&word, text.data() + at, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) break;
  }
  while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
  return at - start;
}

}  // namespace

bool is_utf8(std::string_view text) noexcept {
  for (std::size_t at = ascii_run(text, 0); at < text.size(); at += ascii_run(text, at)) {
    const Code_point c = decode(text, at);
    if (!c.valid) return false;
    at += c.length;
  }
  return true;
}

std::string as_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Code_point c = decode(text, at);
    if (c.valid)
      out.append(text, at, c.length);
    else
      out += "\xEF\xBF\xBD";
    at += c.length;
  }
  return out;
}

std::string base64(std::string_view bytes) {
  static constexpr char digits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t left = bytes.size() - at;
    std::uint32_t group = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 16U;
    if (left > 1)
      group |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8U;
    if (left > 2) group |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2]));
    out += digits[(group >> 18U) & 63U];
    out += digits[(group >> 12U) & 63U];
    out += left > 1 ? digits[(group >> 6U) & 63U] : '=';
    out += left > 2 ? digits[group & 63U] : '=';
  }
  return out;
}

}  // namespace vantel::detail
