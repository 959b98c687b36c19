// SPDX-License-Identifier: MIT
#include "input/uri.hpp"

#include "input/input_node.hpp"

#include <cstring>

namespace vantel::detail {

std::string uri_of_name(std::string_view name) {
  if (name.empty()) return "-";
  static constexpr char hex[] = "0123456789ABCDEF";
  static constexpr const char* kept = "-._~/!$&'()*+,;=@";
  std::string uri = is_absolute_name(name) ? "file://" : "";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alnum = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9');
    if (alnum || (byte != 0 && std::strchr(kept, c) != nullptr)) {
      uri += c;
    } else {
      uri += '%';
      uri += hex[byte >> 4U];
      uri += hex[byte & 15U];
    }
  }
  return uri;
}

std::string artifact_uri(const Source& source, bool relative) {
  const std::string& path = Input_node::file_path_of(source.input);
  return uri_of_name(relative || path.empty() ? source.name : path);
}

bool is_absolute_artifact(const Source& source, bool relative) noexcept {
  return is_absolute_name(source.name) ||
         (!relative && !Input_node::file_path_of(source.input).empty());
}

std::string resolve_uri(std::string_view base, std::string_view uri, bool absolute) {
  if (base.empty() || absolute) return std::string(uri);
  std::string out(base);
  if (out.back() != '/') out += '/';
  out += uri;
  return out;
}

}  // namespace vantel::detail
