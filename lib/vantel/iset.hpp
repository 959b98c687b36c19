// ISet: the set of highlighted stretches of an input, as disjoint ascending
// intervals of offsets whose bounds carry a payload.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vantel::detail {

template <class Payload>
struct Bound {
  Payload payload;
  std::int64_t offset;
};

// Both ends inclusive.
template <class Payload>
struct Interval {
  Bound<Payload> start;
  Bound<Payload> end;
};

template <class Payload>
class ISet {
 public:
  // Drops inverted intervals and merges those that share an offset.
  [[nodiscard]] static ISet of_intervals(std::vector<Interval<Payload>> intervals);

  [[nodiscard]] bool mem(std::int64_t x) const;
  [[nodiscard]] std::optional<Bound<Payload>> find_bound_in(std::int64_t lo, std::int64_t hi) const;
  [[nodiscard]] std::optional<Payload> is_start(std::int64_t x) const;
  [[nodiscard]] std::optional<Payload> is_end(std::int64_t x) const;
  [[nodiscard]] std::optional<std::pair<Bound<Payload>, Bound<Payload>>> extrema() const;

  [[nodiscard]] const std::vector<Interval<Payload>>& intervals() const noexcept {
    return intervals_;
  }

 private:
  std::vector<Interval<Payload>> intervals_;
};

}  // namespace vantel::detail

// TODO(implementation): member definitions follow here.
