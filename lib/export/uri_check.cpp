// SPDX-License-Identifier: MIT
#include "export/uri_check.hpp"

#include "support/message_text.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vantel::detail {

namespace {

bool alpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool digit(char c) {
  return c >= '0' && c <= '9';
}
bool hex(char c) {
  return digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Why `uri` is not an absolute URI, or null.
const char* fault(std::string_view uri) {
  const std::size_t colon = uri.find(':');
  if (colon == std::string_view::npos || colon == 0 || !alpha(uri[0]) ||
      !std::all_of(uri.begin(), uri.begin() + static_cast<std::ptrdiff_t>(colon),
                   [](char c) { return alpha(c) || digit(c) || c == '+' || c == '-' || c == '.'; }))
    return "is not absolute: it needs a scheme such as file:";
  static constexpr const char* kept = "-._~:/?#[]@!$&'()*+,;=";
  for (std::size_t k = 0; k < uri.size(); ++k) {
    const char c = uri[k];
    if (c == '%') {
      if (uri.size() - k < 3 || !hex(uri[k + 1]) || !hex(uri[k + 2]))
        return "holds a '%' without two hex digits after it";
      k += 2;
    } else if (!alpha(c) && !digit(c) && (c == '\0' || std::strchr(kept, c) == nullptr)) {
      return "holds a byte that a URI cannot hold (percent-encode it)";
    }
  }
  if (std::count(uri.begin(), uri.end(), '#') > 1) return "holds more than one '#'";
  return nullptr;
}

[[noreturn]] void refuse(std::string_view uri, std::string_view what, const char* why) {
  throw std::invalid_argument(std::string(what) + " '" + message_text(uri) + "' " + why);
}

}  // namespace

std::string checked_uri(std::string_view uri, std::string_view what) {
  if (const char* why = fault(uri)) refuse(uri, what, why);
  return std::string(uri);
}

std::string checked_base_uri(std::string_view uri, std::string_view what) {
  if (uri.empty()) return {};
  std::string base = checked_uri(uri, what);
  if (base.find_first_of("?#") != std::string::npos)
    refuse(uri, what, "holds a query or a fragment, which a base cannot");
  if (base.back() != '/') base += '/';
  return base;
}

}  // namespace vantel::detail
