// SPDX-License-Identifier: MIT
// A lexer's record of a position, as hosts already keep them.
#pragma once

#include <cstdint>
#include <string>

namespace vantel {

/// A lexer's position record. A char_offset of -1 marks a position without an
/// offset; a location with such a position is not quoted.
struct lexing_position {
  std::string file_name;         ///< The file's name, carried along, never opened.
  std::int64_t line_number = 0;  ///< 1-based
  std::int64_t line_start = 0;   ///< Offset of the first byte of that line.
  std::int64_t char_offset = 0;  ///< Offset of the position itself, or -1.
};
/// Whether all four fields are equal.
bool operator==(const lexing_position& a, const lexing_position& b) noexcept;
/// Whether any field differs.
inline bool operator!=(const lexing_position& a, const lexing_position& b) noexcept {
  return !(a == b);
}

}  // namespace vantel
