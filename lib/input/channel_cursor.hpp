// A cursor over a std::istream, at the stream's own position.
#pragma once

#include "input/file_channel.hpp"
#include "input/raw_cursor.hpp"

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
  // `file`, when given, is the stream's buffer: its bytes at hand can then be
  // read many at once.
  explicit Channel_cursor(std::istream& channel, std::shared_ptr<void> owner = nullptr,
                          File_buf* file = nullptr)
      : channel_(&channel), owner_(std::move(owner)), file_(file) {}

  Seek_result seek(std::int64_t offset) override;
  Byte read_char() override;
  std::string_view buffered() override;
  void consume(std::size_t count) override;

 protected:
  Line_table compute_line_offsets() override;

 private:
  std::istream* channel_;
  std::shared_ptr<void> owner_;
  File_buf* file_;
};

}  // namespace vantel::detail
