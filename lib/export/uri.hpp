// SPDX-License-Identifier: MIT
// Shown names as URIs, for formats that name artifacts by URI.
#pragma once

#include <string>
#include <string_view>

namespace vantel::detail {

// `name` as a URI reference: an absolute path ("/src/a.c") as a file URI
// ("file:///src/a.c"), any other name as a relative reference, each byte
// outside the unreserved characters, '/' and the sub-delimiters
// percent-encoded (':' too, so that a name is never read as a scheme). An
// empty name is "-", as standard input is named on command lines.
[[nodiscard]] std::string uri_of_name(std::string_view name);

// Whether uri_of_name gives an absolute URI for `name`.
[[nodiscard]] inline bool is_absolute_name(std::string_view name) noexcept {
  return !name.empty() && name.front() == '/';
}

// `base` ("file:///src/") followed by the relative `uri`; `uri` as it is when
// `base` is empty or `uri` is absolute. A '/' is put between them if `base`
// lacks it.
[[nodiscard]] std::string resolve_uri(std::string_view base, std::string_view uri, bool absolute);

}  // namespace vantel::detail
