// SPDX-License-Identifier: MIT
#include "export/sarif_uri.hpp"

#include <cstddef>

namespace vantel::detail {

namespace {

bool is_alpha(char c) noexcept {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hex_value(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool is_absolute_uri(std::string_view uri) noexcept {
  if (!uri.empty() && uri.front() == '/') return true;
  if (uri.empty() || !is_alpha(uri.front())) return false;
  for (std::size_t k = 1; k < uri.size(); ++k) {
    const char c = uri[k];
    if (c == ':') return true;
    if (!is_alpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

std::string percent_decoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    const int high = k + 2 < text.size() && text[k] == '%' ? hex_value(text[k + 1]) : -1;
    const int low = high >= 0 ? hex_value(text[k + 2]) : -1;
    if (low < 0) {
      out += text[k];
      continue;
    }
    out += static_cast<char>(high * 16 + low);
    k += 2;
  }
  return out;
}

std::string path_of_uri(std::string_view uri) {
  if (uri.substr(0, 5) != "file:")
    return is_absolute_uri(uri) && uri.front() != '/' ? std::string(uri) : percent_decoded(uri);
  std::string_view rest = uri.substr(5);
  if (rest.substr(0, 2) == "//") {
    const std::size_t slash = rest.find('/', 2);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  return percent_decoded(rest);
}

std::string with_arguments(std::string_view format, const std::vector<std::string>& arguments) {
  std::string out;
  for (std::size_t k = 0; k < format.size(); ++k) {
    const char c = format[k];
    if ((c == '{' || c == '}') && k + 1 < format.size() && format[k + 1] == c) {
      out += c;
      ++k;
      continue;
    }
    const std::size_t close = c == '{' ? format.find('}', k) : std::string_view::npos;
    std::size_t n = 0;
    bool digits = close != std::string_view::npos && close > k + 1 && close - k <= 6;
    for (std::size_t d = k + 1; digits && d < close; ++d) {
      digits = format[d] >= '0' && format[d] <= '9';
      n = n * 10 + static_cast<std::size_t>(format[d] - '0');
    }
    if (digits && n < arguments.size()) {
      out += arguments[n];
      k = close;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace vantel::detail
