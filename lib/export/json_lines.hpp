// SPDX-License-Identifier: MIT
// Writing JSON values one at a time into a larger document, so that a log of
// many results is never held as one tree.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>

namespace vantel::detail {

using Json = nlohmann::ordered_json;

// Appends `value` indented by two spaces a level, as if it stood `depth`
// levels deep: the library's own serializer, the one dump() runs, started
// at that depth and writing straight into `out`.
inline void append_nested(std::string& out, const Json& value, std::size_t depth) {
  nlohmann::detail::serializer<Json> serializer(
      nlohmann::detail::output_adapter<char, std::string>(out), ' ');
  serializer.dump(value, true, false, 2, static_cast<unsigned int>(depth * 2));
}

}  // namespace vantel::detail
