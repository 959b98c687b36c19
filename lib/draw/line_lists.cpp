// SPDX-License-Identifier: MIT
#include "draw/line_lists.hpp"

#include <utility>

namespace vantel::detail {

namespace {

thread_local std::unique_ptr<Line_lists> spare_lists;

// A line of a hundred thousand labels leaves no such lists behind.
constexpr std::size_t kept_runs = 4096;

}  // namespace

Lists_lease::Lists_lease()
    : lists_(spare_lists ? std::move(spare_lists) : std::make_unique<Line_lists>()) {}

Lists_lease::~Lists_lease() {
  if (lists_->runs.capacity() > kept_runs) lists_->runs = {};
  if (lists_->edges.capacity() > kept_runs) lists_->edges = {};
  if (lists_->on_top.capacity() > kept_runs) lists_->on_top = {};
  if (lists_->open.capacity() > kept_runs) lists_->open = {};
  if (!spare_lists) spare_lists = std::move(lists_);
}

}  // namespace vantel::detail
