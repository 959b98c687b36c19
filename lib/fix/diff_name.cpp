// SPDX-License-Identifier: MIT
#include "fix/diff_name.hpp"

#include <algorithm>

namespace vantel::detail {

namespace {

bool needs_quotes(unsigned char c) {
  return c < 0x20 || c >= 0x7f || c == '"' || c == '\\';
}

void put_quoted(std::string& out, unsigned char c) {
  static constexpr std::string_view named = "\a\b\t\n\v\f\r\"\\";
  static constexpr std::string_view letters = "abtnvfr\"\\";
  if (const std::size_t k = named.find(static_cast<char>(c)); k != std::string_view::npos) {
    out += '\\';
    out += letters[k];
    return;
  }
  if (!needs_quotes(c)) {
    out += static_cast<char>(c);
    return;
  }
  out += '\\';
  out += static_cast<char>('0' + (c >> 6));
  out += static_cast<char>('0' + ((c >> 3) & 7));
  out += static_cast<char>('0' + (c & 7));
}

}  // namespace

std::string diff_name(std::string_view side, std::string_view name) {
  std::string out;
  const auto quoted = [](char c) { return needs_quotes(static_cast<unsigned char>(c)); };
  // A blank at the end would be trimmed by patch, even before a tab.
  const bool blank_end = !name.empty() && name.back() == ' ';
  if (!blank_end && std::none_of(name.begin(), name.end(), quoted)) {
    out.append(side).append(name);
    if (name.find(' ') != std::string_view::npos) out += '\t';
    return out;
  }
  out += '"';
  for (const char c : side) put_quoted(out, static_cast<unsigned char>(c));
  for (const char c : name) put_quoted(out, static_cast<unsigned char>(c));
  out += '"';
  return out;
}

}  // namespace vantel::detail
