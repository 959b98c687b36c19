// SPDX-License-Identifier: MIT
// The one bridge from throwing calls to their non-throwing twins.
#pragma once

#include <vantel/error.hpp>

namespace vantel::detail {

// The Error for the exception being handled; call only inside a catch.
void capture_current(Error& error) noexcept;

// Runs `work`, reporting what it throws in `error` (cleared first).
template <class Work>
void capture(Error& error, Work&& work) noexcept {
  error.code.clear();
  error.message.clear();
  error.input.clear();
  error.line = 0;
  try {
    work();
  } catch (...) {
    capture_current(error);
  }
}

}  // namespace vantel::detail
