// SPDX-License-Identifier: MIT
#include "fix/spliced_cursor.hpp"

#include <algorithm>

namespace vantel::detail {

Seek_result Spliced_cursor::seek(std::int64_t offset) {
  if (offset < 0 || offset > line_.size) return Seek_result::Invalid_position;
  at_ = offset;
  piece_.clear();
  used_ = 0;
  return Seek_result::Ok;
}

Byte Spliced_cursor::read_char() {
  const std::string_view at_hand = buffered();
  if (at_hand.empty()) return End_of_input;
  const auto c = static_cast<unsigned char>(at_hand.front());
  consume(1);
  return c;
}

std::string_view Spliced_cursor::buffered() {
  if (used_ == piece_.size() && at_ < line_.size) {
    constexpr std::int64_t most = std::int64_t{1} << 16;
    piece_.clear();
    used_ = 0;
    read_spliced(input_, line_, at_, std::min(line_.size, at_ + most),
                 [&](std::string_view bytes) { piece_.append(bytes); });
  }
  return std::string_view(piece_).substr(used_);
}

void Spliced_cursor::consume(std::size_t count) {
  used_ += count;
  at_ += static_cast<std::int64_t>(count);
}

}  // namespace vantel::detail
