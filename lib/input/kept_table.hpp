// SPDX-License-Identifier: MIT
// A file input's line table, kept from one opening to the next.
#pragma once

#include "input/file_channel.hpp"
#include "line_offsets/lazy_table.hpp"

#include <memory>
#include <mutex>

namespace vantel::detail {

// Hands each opening of a file the table of the file as it is now: the one
// kept from earlier openings while the file's identity is unchanged (so a
// file quoted a thousand times is scanned once, and only as far as asked),
// else a new one, kept in its place. A table whose scan failed is not handed
// out again. A table is kept only while the identity tells the content: not
// for a pipe, a device, an empty file or a file under /proc or /sys, whose
// tables are built afresh at each opening. Openings in several threads may
// ask at once.
class Kept_table {
 public:
  // The identity of the file whose table is kept; told nothing when none is.
  [[nodiscard]] File_identity identity() {
    const std::lock_guard<std::mutex> hold(lock_);
    return table_ ? identity_ : File_identity{};
  }

  [[nodiscard]] std::shared_ptr<Line_offsets::Lazy_table> for_opening(
      const File_identity& identity) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (table_ && identity.tells_content && identity == identity_ && !table_->failed())
      return table_;
    auto fresh = std::make_shared<Line_offsets::Lazy_table>();
    if (identity.tells_content) {
      identity_ = identity;
      table_ = fresh;
    } else {
      table_ = nullptr;
    }
    return fresh;
  }

 private:
  std::mutex lock_;  // held briefly, never while waiting for another
  File_identity identity_;
  std::shared_ptr<Line_offsets::Lazy_table> table_;
};

}  // namespace vantel::detail
