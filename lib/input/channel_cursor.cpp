#include "input/channel_cursor.hpp"

#include "line_offsets/line_offsets.hpp"

#include <streambuf>
#include <system_error>

namespace vantel::detail {

Seek_result Channel_cursor::seek(std::int64_t offset) {
  std::streambuf* buf = channel_->rdbuf();
  if (offset < 0 || buf == nullptr) return Seek_result::Invalid_position;
  try {
    const auto at = buf->pubseekpos(static_cast<std::streamoff>(offset), std::ios_base::in);
    if (at == std::streampos(std::streamoff(-1))) return Seek_result::Invalid_position;
  } catch (const std::system_error&) {
    return Seek_result::Invalid_position;
  }
  return Seek_result::Ok;
}

Byte Channel_cursor::read_char() {
  std::streambuf* buf = channel_->rdbuf();
  if (buf == nullptr) return End_of_input;
  try {
    const auto c = buf->sbumpc();
    if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof()))
      return End_of_input;
    return static_cast<unsigned char>(std::streambuf::traits_type::to_char_type(c));
  } catch (const std::system_error&) {
    return End_of_input;
  }
}

std::string_view Channel_cursor::buffered() {
  if (file_ == nullptr || channel_->rdbuf() != file_) return {};
  return file_->buffered();
}

void Channel_cursor::consume(std::size_t count) {
  if (file_ != nullptr && channel_->rdbuf() == file_) file_->consume(count);
}

Line_table Channel_cursor::compute_line_offsets() {
  return Line_offsets::from_chan(*channel_);
}

}  // namespace vantel::detail
