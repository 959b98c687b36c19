// SPDX-License-Identifier: MIT
// Reading the text of one line through a cursor.
#pragma once

#include "input/raw_cursor.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace vantel::detail {

// The bytes of the line that starts at `start`, up to its line feed or the end
// of the input, without the line feed and without a carriage return right
// before it. A line whose start cannot be sought to is empty. The bytes are
// gathered in `scratch`, whose buffer is reused.
[[nodiscard]] std::string_view read_line(Raw_cursor& cursor, std::int64_t start,
                                         std::string& scratch);

}  // namespace vantel::detail
