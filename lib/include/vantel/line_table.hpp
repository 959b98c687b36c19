// SPDX-License-Identifier: MIT
// The table of line starts of a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace vantel {

/// An immutable table of line starts: entry k is the byte offset of the first
/// byte of line k + 1. Copies share the entries (copying costs a reference
/// count). Tables built by the library start at 0 and strictly ascend; a table
/// that a caller supplies is assumed to ascend and is not checked. Inside the
/// library a table grows only as far as the queries on it need, and is kept
/// as long as its input tells it is still the same text (vantel/input.hpp
/// gives the rules); a Line_table is only ever a whole one. Tables never
/// change: any number of threads may read and copy one at once.
class Line_table {
 public:
  /// The empty table (no lines). Queries on it throw std::out_of_range.
  Line_table() noexcept = default;
  /// A table of the given entries, in order.
  Line_table(std::initializer_list<std::int64_t> entries)
      : Line_table(std::vector<std::int64_t>(entries)) {}
  /// A table that takes over `entries` (moved in, not copied).
  explicit Line_table(std::vector<std::int64_t> entries) {
    auto owner = std::make_shared<const std::vector<std::int64_t>>(std::move(entries));
    size_ = owner->size();
    data_ = std::shared_ptr<const std::int64_t>(owner, owner->data());
  }
  /// Adopts `size` entries at `data`, kept alive by data's owner.
  Line_table(std::shared_ptr<const std::int64_t> data, std::size_t size) noexcept
      : data_(std::move(data)), size_(size) {}
  /// The table of `text`: 0, then the offset just past each line feed, as the
  /// library builds it for its own inputs. Reads the text once, many bytes at a
  /// time; for the host of a raw input, whose cursor must supply its table.
  [[nodiscard]] static Line_table of_text(std::string_view text);

  /// The number of entries, which is the number of lines.
  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  /// Whether the table has no entry.
  [[nodiscard]] bool empty() const noexcept { return size_ == 0; }
  /// The entries, contiguous; possibly null when the table is empty.
  [[nodiscard]] const std::int64_t* data() const noexcept { return data_.get(); }
  /// The first entry, for range-for loops and algorithms.
  [[nodiscard]] const std::int64_t* begin() const noexcept { return data_.get(); }
  /// Past the last entry.
  [[nodiscard]] const std::int64_t* end() const noexcept { return data_.get() + size_; }
  /// Entry k, unchecked: k must be below size().
  [[nodiscard]] std::int64_t operator[](std::size_t k) const noexcept { return data_.get()[k]; }
  /// A copy of the entries.
  [[nodiscard]] std::vector<std::int64_t> to_vector() const { return {begin(), end()}; }

  /// Whether both tables hold the same entries, shared or not.
  friend bool operator==(const Line_table& a, const Line_table& b) noexcept {
    if (a.size_ != b.size_) return false;
    for (std::size_t k = 0; k < a.size_; ++k)
      if (a[k] != b[k]) return false;
    return true;
  }
  /// Whether the tables' entries differ.
  friend bool operator!=(const Line_table& a, const Line_table& b) noexcept { return !(a == b); }

 private:
  std::shared_ptr<const std::int64_t> data_;
  std::size_t size_ = 0;
};

}  // namespace vantel
