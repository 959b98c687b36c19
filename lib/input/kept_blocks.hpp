// SPDX-License-Identifier: MIT
// The blocks of one opened file kept once read, for all who read it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vantel::detail {

// A block of a file, read whole before anyone else sees it, and never
// changed after.
struct Kept_block {
  std::int64_t index = 0;  // its offset, in blocks
  std::size_t size = 0;    // less than a block only at the file's end
  std::unique_ptr<char[]> bytes;
};

// Direct-mapped by block index, up to `count` blocks. A block replaced in
// its slot lives on for those still reading it: each holds what it reads.
// The lock is held only to look a slot up or fill it, never while reading.
class Kept_blocks {
 public:
  static constexpr std::size_t count = 256;

  [[nodiscard]] std::shared_ptr<const Kept_block> find(std::int64_t index) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (!slots_) return nullptr;
    const std::shared_ptr<const Kept_block>& block = slots_[slot(index)];
    return block && block->index == index ? block : nullptr;
  }
  void keep(std::shared_ptr<const Kept_block> block) {
    const std::lock_guard<std::mutex> hold(lock_);
    // Made at the first block kept: most openings quote once and keep none.
    if (!slots_) slots_ = std::make_unique<std::shared_ptr<const Kept_block>[]>(count);
    slots_[slot(block->index)] = std::move(block);
  }

  // Whether another reader reads the file too: each reader then keeps its
  // own copy of the slots it met.
  void add_reader() noexcept { shared_.store(true, std::memory_order_relaxed); }
  [[nodiscard]] bool shared() const noexcept { return shared_.load(std::memory_order_relaxed); }

  static std::size_t slot(std::int64_t index) noexcept {
    return static_cast<std::size_t>(index % static_cast<std::int64_t>(count));
  }

 private:
  std::atomic<bool> shared_{false};
  std::mutex lock_;
  std::unique_ptr<std::shared_ptr<const Kept_block>[]> slots_;
};

}  // namespace vantel::detail
