// SPDX-License-Identifier: MIT
// Shown names as URIs, for formats that name artifacts by URI and for the
// links of a drawing.
#pragma once

#include <vantel/source.hpp>

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

// What names `source`'s artifact: the file URI of a file input's absolute
// path, unless `relative` asks for the shown name against a base URI; any
// other input by its shown name, as uri_of_name writes it.
[[nodiscard]] std::string artifact_uri(const Source& source, bool relative);

// Whether artifact_uri gives an absolute URI.
[[nodiscard]] bool is_absolute_artifact(const Source& source, bool relative) noexcept;

}  // namespace vantel::detail
