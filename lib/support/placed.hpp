// SPDX-License-Identifier: MIT
// A standard failure that says, as fields, which input and line it is about.
#pragma once

#include <vantel/error.hpp>

#include <utility>

namespace vantel::detail {

template <class Standard>
class Placed : public Standard, public Failure_place {
 public:
  // The failure of `place`, built as `Standard(args...)`.
  template <class... Args>
  explicit Placed(Failure_place place, Args&&... args)
      : Standard(std::forward<Args>(args)...), Failure_place(std::move(place)) {}
};

}  // namespace vantel::detail
