// SPDX-License-Identifier: MIT
// A file input's line table, kept from one opening to the next.
#pragma once

#include "input/file_channel.hpp"

#include "line_offsets/lazy_table.hpp"

#include <memory>

namespace vantel::detail {

// Hands each opening of a file the table of the file as it is now: the one
// kept from earlier openings while the file's identity is unchanged (so a
// file quoted a thousand times is scanned once, and only as far as asked),
// else a new one, kept in its place. A table whose scan failed is not handed
// out again. A table is kept only while the identity tells the content: not
// for a pipe, a device, an empty file or a file under /proc or /sys, whose
// tables are built afresh at each opening.
class Kept_table {
 public:
  [[nodiscard]] std::shared_ptr<Line_offsets::Lazy_table> for_opening(
      const File_identity& identity) {
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
  File_identity identity_;
  std::shared_ptr<Line_offsets::Lazy_table> table_;
};

}  // namespace vantel::detail
