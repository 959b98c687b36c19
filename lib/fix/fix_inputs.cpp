// SPDX-License-Identifier: MIT
#include "fix/fix_inputs.hpp"

#include <algorithm>
#include <exception>

namespace vantel::detail {

Fix_inputs::Fix_inputs(const std::vector<Fix>& fixes, const Input* first) {
  const auto add = [this](const Input& input) {
    if (std::none_of(inputs_.begin(), inputs_.end(),
                     [&](const Input& in) { return in.same_as(input); })) {
      openings_.push_back(std::make_unique<Opening>(input, Take::Later));
      inputs_.push_back(input);
    }
  };
  if (first != nullptr) add(*first);
  for (const Fix& fix : fixes)
    for (const Edit& edit : fix.edits) {
      if (first == nullptr) {
        add(edit.source.input);
        continue;
      }
      // Only whether it is `first`'s file is asked of another input: one
      // that cannot be opened is not.
      try {
        add(edit.source.input);
      } catch (const std::exception&) {
        continue;  // left out: its edits are not `first`'s
      }
    }
  take_together(openings_);
  for (std::size_t k = 0; k < openings_.size(); ++k) {
    const auto key = openings_[k]->cursor().file_key();
    std::size_t same = 0;
    while (same < k && !(key && openings_[same]->cursor().file_key() == key)) ++same;
    text_of_.push_back(same);
  }
}

Raw_cursor* Fix_inputs::cursor_of(const Input& input) const {
  for (std::size_t k = 0; k < inputs_.size(); ++k)
    if (inputs_[k].same_as(input)) return &openings_[text_of_[k]]->cursor();
  return nullptr;
}

void Fix_inputs::close() {
  for (const auto& opening : openings_) opening->close();
}

}  // namespace vantel::detail
