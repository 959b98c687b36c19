// The table of line starts of a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vantel {

/// An immutable table of line starts: entry k is the byte offset of the first
/// byte of line k + 1. Copies share the entries (copying costs a reference
/// count). Tables built by the library start at 0 and strictly ascend; a table
/// that a caller supplies is assumed to ascend and is not checked. Inside the
/// library a table grows only as far as the queries on it need, and is kept
/// as long as its input tells it is still the same text (vantel/input.hpp
/// gives the rules); a Line_table is only ever a whole one.
class Line_table {
 public:
  /// The empty table (no lines). Queries on it throw std::out_of_range.
  Line_table() noexcept = default;
  Line_table(std::initializer_list<std::int64_t> entries)
      : Line_table(std::vector<std::int64_t>(entries)) {}
  explicit Line_table(std::vector<std::int64_t> entries) {
    auto owner = std::make_shared<const std::vector<std::int64_t>>(std::move(entries));
    size_ = owner->size();
    data_ = std::shared_ptr<const std::int64_t>(owner, owner->data());
  }
  /// Adopts `size` entries at `data`, kept alive by data's owner.
  Line_table(std::shared_ptr<const std::int64_t> data, std::size_t size) noexcept
      : data_(std::move(data)), size_(size) {}

  [[nodiscard]] std::size_t size() const noexcept { return size_; }
  [[nodiscard]] bool empty() const noexcept { return size_ == 0; }
  [[nodiscard]] const std::int64_t* data() const noexcept { return data_.get(); }
  [[nodiscard]] const std::int64_t* begin() const noexcept { return data_.get(); }
  [[nodiscard]] const std::int64_t* end() const noexcept { return data_.get() + size_; }
  /// Entry k, unchecked: k must be below size().
  [[nodiscard]] std::int64_t operator[](std::size_t k) const noexcept { return data_.get()[k]; }
  [[nodiscard]] std::vector<std::int64_t> to_vector() const { return {begin(), end()}; }

  friend bool operator==(const Line_table& a, const Line_table& b) noexcept {
    if (a.size_ != b.size_) return false;
    for (std::size_t k = 0; k < a.size_; ++k)
      if (a[k] != b[k]) return false;
    return true;
  }
  friend bool operator!=(const Line_table& a, const Line_table& b) noexcept { return !(a == b); }

 private:
  std::shared_ptr<const std::int64_t> data_;
  std::size_t size_ = 0;
};

}  // namespace vantel
