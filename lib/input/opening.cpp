// SPDX-License-Identifier: MIT
#include "input/opening.hpp"

#include "input/input_node.hpp"

#include <exception>
#include <stdexcept>
#include <utility>

namespace vantel::detail {
namespace {

// Runs `closers` innermost first, each once, whatever the others do; returns
// the first failure.
std::exception_ptr run_all(std::vector<Closer> closers) noexcept {
  std::exception_ptr first;
  for (auto it = closers.rbegin(); it != closers.rend(); ++it) {
    if (!*it) continue;
    try {
      (*it)();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  return first;
}

}  // namespace

Opening::Opening(const Input& input) : input_(input) {
  try {
    for (;;) {
      const auto& node = inner_.empty() ? input_.node_ : inner_.back().node_;
      if (!node) throw std::invalid_argument("cannot open an input that was moved from");
      if (node->cursor) {
        cursor_ = node->cursor.get();
        return;
      }
      auto [inner, closer] = node->opener();
      try {
        closers_.push_back(std::move(closer));
      } catch (...) {
        run_all({std::move(closer)});
        throw;
      }
      inner_.push_back(std::move(inner));
    }
  } catch (...) {
    // The constructor does not finish, so the destructor will not run: close
    // what was opened, keeping the failure that got us here.
    run_all(std::exchange(closers_, {}));
    throw;
  }
}

Opening::~Opening() {
  // Reached with closers left only when a failure skipped close(); that
  // failure matters more than any of theirs.
  run_all(std::exchange(closers_, {}));
}

void Opening::close() {
  if (const auto failure = run_all(std::exchange(closers_, {}))) std::rethrow_exception(failure);
}

}  // namespace vantel::detail
