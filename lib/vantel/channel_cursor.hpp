// A cursor over a std::istream, at the stream's own position.
#pragma once

#include "raw_cursor.hpp"

#include <cstdint>
#include <istream>
#include <memory>

namespace vantel::detail {

// Seeks and reads through the stream's buffer. A std::system_error from it
// is the stream's way of saying it cannot: Invalid_position or End_of_input.
// Any other exception propagates. The stream is never closed here; `owner`,
// when given, keeps it alive as long as the cursor.
class Channel_cursor final : public Raw_cursor {
 public:
  explicit Channel_cursor(std::istream& channel, std::shared_ptr<void> owner = nullptr)
      : channel_(&channel), owner_(std::move(owner)) {}

  Seek_result seek(std::int64_t offset) override;
  Byte read_char() override;

 protected:
  Line_table compute_line_offsets() override;

 private:
  std::istream* channel_;
  std::shared_ptr<void> owner_;
};

}  // namespace vantel::detail
