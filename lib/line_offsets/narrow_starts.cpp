// SPDX-License-Identifier: MIT
#include "line_offsets/narrow_starts.hpp"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace vantel::Line_offsets {

Narrow_starts::Narrow_starts(Narrow_scanner& scanner) : size_(scanner.size()) {
  if (!scanner.crossings().empty())
    crossings_ = std::make_shared<const std::vector<std::size_t>>(std::move(scanner.crossings()));
  lows_ = scanner.release();
}

std::int64_t Narrow_starts::segment_of(std::size_t k) const noexcept {
  return std::upper_bound(crossings_->begin(), crossings_->end(), k) - crossings_->begin();
}

std::size_t Narrow_starts::last_at_or_before(std::int64_t offset) const noexcept {
  if (offset < 0) return 0;
  // The entries of the offset's 4 GiB, then the last of them at or before it.
  std::size_t first = 0;
  std::size_t end = size_;
  if (crossings_) {
    const std::vector<std::size_t>& crossings = *crossings_;
    const auto segment = static_cast<std::uint64_t>(offset) >> 32;
    if (segment > crossings.size()) return size_ - 1;
    if (segment != 0) first = crossings[segment - 1];
    if (segment < crossings.size()) end = crossings[segment];
  } else if (offset > UINT32_MAX) {
    return size_ - 1;
  }
  const std::uint32_t* lows = lows_.get();
  const auto low = static_cast<std::uint32_t>(offset);
  if (first == end || lows[first] > low) return first == 0 ? 0 : first - 1;
  std::size_t count = end - first;
  while (count > 1) {
    const std::size_t half = count / 2;
    if (lows[first + half] <= low) first += half;
    count -= half;
  }
  return first;
}

std::int64_t* Narrow_starts::widen(std::int64_t* out) const noexcept {
  const std::uint32_t* lows = lows_.get();
  if (!crossings_) return std::copy(lows, lows + size_, out);
  for (std::size_t k = 0; k < size_; ++k) *out++ = (*this)[k];
  return out;
}

}  // namespace vantel::Line_offsets
