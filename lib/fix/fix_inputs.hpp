// SPDX-License-Identifier: MIT
// The inputs that fixes edit, opened together, with one cursor for each text:
// two inputs of one file are one text to patch and to diff.
#pragma once

#include "fix/placed_edit.hpp"
#include "input/opening.hpp"

#include <vantel/fix.hpp>

#include <memory>
#include <vector>

namespace vantel::detail {

class Fix_inputs {
 public:
  // Opens `first` (when given) and every input that an edit of `fixes`
  // names, taking their cursors together. With `first`, the others are
  // opened only to know whether they read its file, and one that cannot be
  // opened is left out.
  Fix_inputs(const std::vector<Fix>& fixes, const Input* first);

  // The cursor that reads `input`'s text: the first opened of that text;
  // null for an input that no edit names.
  [[nodiscard]] Raw_cursor* cursor_of(const Input& input) const;
  // Cursor_of for place_edits.
  [[nodiscard]] Cursor_of cursors() const {
    return [this](const Input& in) { return cursor_of(in); };
  }

  // Closes every opening; the first failure propagates.
  void close();

 private:
  std::vector<Input> inputs_;
  std::vector<std::unique_ptr<Opening>> openings_;
  std::vector<std::size_t> text_of_;  // per input, the first input of its text
};

}  // namespace vantel::detail
