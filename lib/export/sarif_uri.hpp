// SPDX-License-Identifier: MIT
// The URIs of a read log's artifacts, as paths to open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

// Whether `uri` has a scheme ("file:", "https:") or is an absolute path.
[[nodiscard]] bool is_absolute_uri(std::string_view uri) noexcept;

// `text` with each %XX replaced by its byte; a '%' without two hex digits
// after it is kept.
[[nodiscard]] std::string percent_decoded(std::string_view text);

// The path a file URI names ("file:///src/a.c", "file://host/src/a.c":
// "/src/a.c"), or a relative reference as a relative path; percent-decoded.
// Any other scheme is kept as it is, which names no file.
[[nodiscard]] std::string path_of_uri(std::string_view uri);

// A message string with {0}, {1}... replaced by `arguments`; "{{" and "}}"
// stand for braces, and a placeholder without its argument is kept.
[[nodiscard]] std::string with_arguments(std::string_view format,
                                         const std::vector<std::string>& arguments);

}  // namespace vantel::detail
