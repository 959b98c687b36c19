// SPDX-License-Identifier: MIT
// What a cursor answers when asked to seek or to read: expected outcomes,
// never exceptions.
#pragma once

#include <optional>

namespace vantel {

/// What a cursor's seek answers: Ok, or Invalid_position for an offset it
/// cannot go to.
enum class Seek_result { Ok, Invalid_position };

/// What a cursor's read_char answers: one byte, or End_of_input (an empty
/// optional).
using Byte = std::optional<unsigned char>;
/// What read_char returns past the last byte.
inline constexpr std::nullopt_t End_of_input = std::nullopt;

}  // namespace vantel
