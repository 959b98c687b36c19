// SPDX-License-Identifier: MIT
// Cutting a shown text (valid UTF-8, no controls, tabs expanded) into pieces
// that each fit in a row's room, for messages and notes under a width.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantel::detail {

struct Piece {
  std::string_view text;
  std::int64_t width = 0;  // display columns
};

// The pieces of `shown`, each at most `room` columns wide, broken after a
// space, the spaces at a break left out; a word is never broken, and one
// wider than `room` is a piece of its own. The whole text as one piece when
// `room` is 0 or less, or when it fits. `width` is the whole text's.
[[nodiscard]] std::vector<Piece> wrap_shown(std::string_view shown, std::int64_t width,
                                            std::int64_t room);

}  // namespace vantel::detail
