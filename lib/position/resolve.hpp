// SPDX-License-Identifier: MIT
// Resolving positions on an opened cursor.
#pragma once

#include "input/raw_cursor.hpp"
#include "position/resolved_position.hpp"
#include "support/unnamed.hpp"

#include <vantel/lexing_position.hpp>
#include <vantel/position.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace vantel::detail {

// The byte offset of `position`; asks for the line table only when a line and
// column is met, at any depth of shifts.
[[nodiscard]] std::int64_t to_offset_raw(Raw_cursor& cursor, const Position& position);

// The lexer record of `position`: a Lexing position as it is, anything else
// resolved against the line table with an empty file name.
[[nodiscard]] lexing_position to_lexing_raw(Raw_cursor& cursor, const Position& position);

// The cursor's input as failures name it, escaped: a name may hold anything.
[[nodiscard]] std::string input_name(const Raw_cursor& cursor);

// Runs `work` on `cursor`, naming its failures after the cursor's input.
template <class Work>
decltype(auto) naming_input(const Raw_cursor& cursor, Work&& work) {
  return naming(
      [&cursor] {
        return Failure_name{input_name(cursor), cursor.name()};
      },
      std::forward<Work>(work));
}

// to_lexing_raw but for the file name: the same queries of the line table,
// the same failures.
[[nodiscard]] Resolved_position resolve_raw(Raw_cursor& cursor, const Position& position);

}  // namespace vantel::detail
