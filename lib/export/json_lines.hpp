// SPDX-License-Identifier: MIT
// Writing JSON values one at a time into a larger document, so that a log of
// many results is never held as one tree.
#pragma once

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstddef>
#include <string>

namespace vantel::detail {

using Json = nlohmann::ordered_json;

// Appends `value` indented by two spaces a level, as if it stood `depth`
// levels deep. Strings hold no raw line feed (JSON escapes them), so every
// line feed of the dump starts a line of the value.
inline void append_nested(std::string& out, const Json& value, std::size_t depth) {
  const std::string text = value.dump(2);
  const std::string indent(depth * 2, ' ');
  std::size_t lines = 0;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  // Grown at least twofold, so that a document appended to value by value
  // is copied a bounded number of times.
  const std::size_t needed = out.size() + text.size() + lines * indent.size();
  if (needed > out.capacity()) out.reserve(std::max(needed, 2 * out.capacity()));
  std::size_t from = 0;
  for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', from)) {
    out.append(text, from, lf + 1 - from);
    out += indent;
    from = lf + 1;
  }
  out.append(text, from, std::string::npos);
}

}  // namespace vantel::detail
