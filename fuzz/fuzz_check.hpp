// SPDX-License-Identifier: MIT
// What every fuzz target checks with: a failed property aborts with its place,
// and only the failures the library documents may escape a resolution.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <stdexcept>

namespace fuzz {

__extension__ typedef __int128 Wide;

constexpr std::int64_t min64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t max64 = std::numeric_limits<std::int64_t>::max();

[[noreturn]] inline void broken(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: %s\n", file, line, what);
  std::abort();
}

#define CHECK(cond)                                       \
  do {                                                    \
    if (!(cond)) fuzz::broken(__FILE__, __LINE__, #cond); \
  } while (0)

enum class Failure { none, out_of_range, overflow };

// Runs f and says which documented failure it raised; anything else aborts.
template <class F>
Failure outcome(F&& f) {
  try {
    f();
    return Failure::none;
  } catch (const std::out_of_range&) {
    return Failure::out_of_range;
  } catch (const std::overflow_error&) {
    return Failure::overflow;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "undocumented exception: %s\n", e.what());
    std::abort();
  } catch (...) {
    broken(__FILE__, __LINE__, "undocumented exception of no standard type");
  }
}

inline bool fits(Wide x) {
  return x >= min64 && x <= max64;
}

}  // namespace fuzz
