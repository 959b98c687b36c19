// SPDX-License-Identifier: MIT
#include "report/line_lists.hpp"

#include <utility>

namespace vantel::detail {

namespace {

thread_local std::unique_ptr<Line_lists> spare_lists;

// A line of a million columns leaves no million cells behind.
constexpr std::size_t kept_cells = 4096;

}  // namespace

Lists_lease::Lists_lease()
    : lists_(spare_lists ? std::move(spare_lists) : std::make_unique<Line_lists>()) {}

Lists_lease::~Lists_lease() {
  if (lists_->cells.capacity() > kept_cells) lists_->cells = {};
  if (!spare_lists) spare_lists = std::move(lists_);
}

}  // namespace vantel::detail
