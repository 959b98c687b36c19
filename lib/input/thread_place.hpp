// SPDX-License-Identifier: MIT
// A small number for the calling thread, the same at every call, so that
// what threads update often is kept apart, a cache line each.
#pragma once

#include <cstddef>

namespace vantel::detail {

inline constexpr std::size_t thread_places = 8;

// Bytes that keep what lies before them and what lies after them off each
// other's cache line, without asking for an alignment that allocation would
// have to honour.
inline constexpr std::size_t cache_line = 64;
struct Line_gap {
  [[maybe_unused]] char bytes[cache_line];
};

// A T that shares no cache line with the T next to it in an array.
template <class T>
struct Apart {
  T value{};
  [[maybe_unused]] char gap[cache_line - sizeof(T) % cache_line];
};

// This thread's place once it has one; thread_places before.
inline thread_local std::size_t this_thread_place = thread_places;

// Gives this thread its place: the first threads to ask get one each.
std::size_t take_thread_place() noexcept;

// Below thread_places.
[[nodiscard]] inline std::size_t thread_place() noexcept {
  const std::size_t place = this_thread_place;
  return place < thread_places ? place : take_thread_place();
}

}  // namespace vantel::detail
