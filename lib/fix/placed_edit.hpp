// SPDX-License-Identifier: MIT
// The edits of fixes resolved to byte offsets of their inputs, and checked
// to leave each other alone.
#pragma once

#include "input/raw_cursor.hpp"

#include <vantel/fix.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

struct Placed_edit {
  std::size_t fix = 0;   // 1-based, among the fixes given
  std::size_t edit = 0;  // 1-based, in its fix
  std::int64_t start = 0;
  std::int64_t end = 0;  // at least start
  std::string_view text;
};

// The edits of one input, sorted by offset.
struct Edits_of_input {
  const Source* source = nullptr;  // the first edit's
  std::vector<Placed_edit> edits;
};

// The cursor of an input, or null to leave its edits out.
using Cursor_of = std::function<Raw_cursor*(const Input&)>;

// The edits of `fixes`, grouped by the cursor that `cursor_of` gives their
// input (one per text) in the order each first appears,
// each input's sorted. Throws std::invalid_argument naming the fix for an
// edit whose place is unknown or reversed, or two edits that overlap (two
// insertions at one place too, whose order would be a guess);
// std::out_of_range for a negative offset.
[[nodiscard]] std::vector<Edits_of_input> place_edits(const std::vector<Fix>& fixes,
                                                      const Cursor_of& cursor_of);

// The same for `fix` alone, numbered `number` among its report's fixes.
[[nodiscard]] std::vector<Edits_of_input> place_fix(const Fix& fix, std::size_t number,
                                                    const Cursor_of& cursor_of);

// Throws std::out_of_range when an edit of `edits` reaches past `size`, the
// input's length.
void check_within(const Edits_of_input& edits, std::int64_t size);

}  // namespace vantel::detail
