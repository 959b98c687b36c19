// SPDX-License-Identifier: MIT
#include "model/openings.hpp"

namespace vantel::detail {

void Openings::add(const Input& input) {
  if (find(input) != inputs_.size()) return;
  inputs_.push_back(&input);
  openings_.push_back(std::make_unique<Opening>(input, Take::Later));
}

void Openings::take() {
  take_together(openings_);
}

Raw_cursor* Openings::cursor(const Input& input) const {
  const std::size_t k = find(input);
  return k == inputs_.size() ? nullptr : &openings_[k]->cursor();
}

void Openings::close() {
  for (const auto& opening : openings_) opening->close();
}

std::size_t Openings::find(const Input& input) const {
  std::size_t k = 0;
  while (k < inputs_.size() && !inputs_[k]->same_as(input)) ++k;
  return k;
}

}  // namespace vantel::detail
