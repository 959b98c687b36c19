// SPDX-License-Identifier: MIT
// Failures about a place in an input, thrown where the input's name is not
// known, and named by the layer that knows it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace vantel::detail {

// Marks a failure whose message does not name its input yet, with the line
// it is about (0 for none).
struct Unnamed_failure {
  explicit Unnamed_failure(std::int64_t about_line = 0) noexcept : line(about_line) {}
  Unnamed_failure(const Unnamed_failure&) = default;
  Unnamed_failure& operator=(const Unnamed_failure&) = default;
  virtual ~Unnamed_failure() = default;
  std::int64_t line;
};

// A standard failure still waiting for its input's name. Callers that meet
// it unnamed meet the standard type.
template <class Standard>
class Unnamed : public Standard, public Unnamed_failure {
 public:
  using Standard::Standard;
  // The failure `what` about line `line`.
  Unnamed(const std::string& what, std::int64_t about_line)
      : Standard(what), Unnamed_failure(about_line) {}
};

// What names a failure: the lead of its message, and the input's own name.
struct Failure_name {
  std::string lead;
  std::string input;
};

// Inside a catch of an Unnamed_failure: throws it again as its standard type,
// its message led by `name.lead` and ": ", with its place as fields.
[[noreturn]] void rethrow_named(const Failure_name& name);

// Runs `work`; an unnamed failure from it is thrown again named by `where()`
// (a Failure_name), which runs only then.
template <class Where, class Work>
decltype(auto) naming(Where&& where, Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (const Unnamed_failure&) {
    rethrow_named(std::forward<Where>(where)());
  }
}

}  // namespace vantel::detail
