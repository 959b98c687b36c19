// SPDX-License-Identifier: MIT
// Line starts kept in half the memory of a Line_table.
#pragma once

#include "line_offsets/line_scanner.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantel::Line_offsets {

// Ascending line starts, each kept modulo 4 GiB in 32 bits, with the index of
// the first start of each further 4 GiB kept aside (none below 4 GiB, so an
// entry costs one load). A growing table keeps what it scans this way: the
// lines of a text held by the host cost 4 bytes each rather than 8.
// Immutable once built: copies share the entries, and any number of threads
// may read them.
class Narrow_starts {
 public:
  Narrow_starts() = default;
  // Takes over what `scanner` has found, which must be something.
  explicit Narrow_starts(Narrow_scanner& scanner);

  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  // Entry k, unchecked: k must be below size().
  [[nodiscard]] std::int64_t operator[](std::size_t k) const noexcept {
    const std::int64_t low = lows_.get()[k];
    return crossings_ ? low + (segment_of(k) << 32) : low;
  }
  // The index of the last entry at or before `offset`; 0 when every entry
  // lies past it.
  [[nodiscard]] std::size_t last_at_or_before(std::int64_t offset) const noexcept;
  // Writes every entry, widened, from `out` on; returns the end.
  std::int64_t* widen(std::int64_t* out) const noexcept;

 private:
  [[nodiscard]] std::int64_t segment_of(std::size_t k) const noexcept;

  std::shared_ptr<const std::uint32_t> lows_;
  std::size_t size_ = 0;
  // As Basic_scanner::crossings(); null when empty.
  std::shared_ptr<const std::vector<std::size_t>> crossings_;
};

}  // namespace vantel::Line_offsets
