// SPDX-License-Identifier: MIT
// Failures about a place in an input, thrown where the input's name is not
// known, and named by the layer that knows it.
#pragma once

#include <string>
#include <utility>

namespace vantel::detail {

// Marks a failure whose message does not name its input yet.
struct Unnamed_failure {
  Unnamed_failure() = default;
  Unnamed_failure(const Unnamed_failure&) = default;
  Unnamed_failure& operator=(const Unnamed_failure&) = default;
  virtual ~Unnamed_failure() = default;
};

// A standard failure still waiting for its input's name. Callers that meet
// it unnamed meet the standard type.
template <class Standard>
class Unnamed : public Standard, public Unnamed_failure {
 public:
  using Standard::Standard;
};

// Inside a catch of an Unnamed_failure: throws it again as its standard type,
// its message led by `where` and ": ".
[[noreturn]] void rethrow_named(const std::string& where);

// Runs `work`; an unnamed failure from it is thrown again led by `where()`,
// which runs only then.
template <class Where, class Work>
decltype(auto) naming(Where&& where, Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (const Unnamed_failure&) {
    rethrow_named(std::forward<Where>(where)());
  }
}

}  // namespace vantel::detail
