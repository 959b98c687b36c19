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

// The pieces of `shown`, each at most `room` columns wide but for a single
// cluster that is wider, broken after a space where one is, the spaces at a
// break left out; the whole text as one piece when `room` is 0 or less, or
// when it fits. `width` is the whole text's.
[[nodiscard]] std::vector<Piece> wrap_shown(std::string_view shown, std::int64_t width,
                                            std::int64_t room);

}  // namespace vantel::detail
