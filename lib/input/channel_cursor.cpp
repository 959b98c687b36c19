// SPDX-License-Identifier: MIT
#include "input/channel_cursor.hpp"

#include "line_offsets/line_offsets.hpp"
#include "support/placed.hpp"

#include <cerrno>
#include <streambuf>
#include <string>
#include <system_error>
#include <utility>

namespace vantel::detail {
namespace {

constexpr std::size_t block_size = 16384;
const std::streampos failed_seek(std::streamoff(-1));

}  // namespace

Channel_cursor::Channel_cursor(std::istream& channel, std::shared_ptr<void> owner, File_buf* file,
                               std::shared_ptr<Line_offsets::Lazy_table> table)
    : channel_(&channel), owner_(std::move(owner)), file_(file), table_(std::move(table)) {}

std::string Channel_cursor::name() const {
  return file_ != nullptr ? file_->name() : Raw_cursor::name();
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> Channel_cursor::file_key() const {
  if (file_ == nullptr || channel_->rdbuf() != file_ || !file_->identity().regular)
    return std::nullopt;
  return std::make_pair(file_->identity().device, file_->identity().inode);
}

bool Channel_cursor::forks() const noexcept {
  return file_ != nullptr && channel_->rdbuf() == file_ && file_->shares() && table_;
}

std::unique_ptr<Raw_cursor> Channel_cursor::fork() {
  auto channel = std::make_shared<File_channel>(File_buf::Reader_of{*file_});
  std::istream& stream = channel->stream();
  File_buf* buffer = &channel->buffer();
  return std::make_unique<Channel_cursor>(stream, std::move(channel), buffer, table_);
}

bool Channel_cursor::seekable() {
  std::streambuf* buf = channel_->rdbuf();
  if (buf == nullptr) return false;
  try {
    return buf->pubseekoff(0, std::ios_base::cur, std::ios_base::in) != failed_seek;
  } catch (const std::system_error&) {
    return false;
  }
}

void Channel_cursor::rethrow_named(const std::system_error& failure) const {
  if (file_ != nullptr && channel_->rdbuf() == file_) throw;
  throw Placed<std::system_error>(Failure_place(name(), 0), failure.code(), name());
}

Seek_result Channel_cursor::seek(std::int64_t offset) {
  std::streambuf* buf = channel_->rdbuf();
  if (offset < 0 || buf == nullptr) return Seek_result::Invalid_position;
  resume_.reset();
  std::error_code refused(ESPIPE, std::generic_category());
  try {
    if (buf->pubseekpos(static_cast<std::streamoff>(offset), std::ios_base::in) != failed_seek)
      return Seek_result::Ok;
  } catch (const std::system_error& e) {
    refused = e.code();
  }
  // A stream that cannot seek at all would quote nothing, silently.
  if (!seekable()) {
    const std::string name = file_ != nullptr && buf == file_ ? file_->name() : Raw_cursor::name();
    throw Placed<std::system_error>(Failure_place(name, 0), refused,
                                    name + ": the stream cannot seek");
  }
  return Seek_result::Invalid_position;
}

void Channel_cursor::come_back() {
  if (!resume_) return;
  const std::streampos at = *resume_;
  resume_.reset();
  std::streambuf* buf = channel_->rdbuf();
  try {
    if (buf != nullptr && buf->pubseekpos(at, std::ios_base::in) != failed_seek) return;
  } catch (const std::system_error& e) {
    rethrow_named(e);
  }
  throw Placed<std::system_error>(Failure_place(name(), 0), ESPIPE, std::generic_category(),
                                  name() + ": cannot seek back to where reading stood");
}

Byte Channel_cursor::read_char() {
  std::streambuf* buf = channel_->rdbuf();
  if (buf == nullptr) return End_of_input;
  try {
    come_back();
    const auto c = buf->sbumpc();
    if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof()))
      return End_of_input;
    return static_cast<unsigned char>(std::streambuf::traits_type::to_char_type(c));
  } catch (const std::system_error& e) {
    rethrow_named(e);
  }
}

std::string_view Channel_cursor::buffered() {
  if (file_ == nullptr || channel_->rdbuf() != file_) return {};
  come_back();
  return file_->buffered();
}

void Channel_cursor::consume(std::size_t count) {
  come_back();
  if (file_ != nullptr && channel_->rdbuf() == file_) file_->consume(count);
}

Raw_cursor::Lazy_lines Channel_cursor::lazy_lines() {
  // A stream that cannot seek is read whole at the first query, as it
  // stands: a table grown later would resume wherever others left it.
  if (!grows_) grows_ = seekable();
  if (!*grows_) return {nullptr, nullptr};
  if (!table_) table_ = std::make_shared<Line_offsets::Lazy_table>();
  return {table_.get(), this};
}

Line_table Channel_cursor::compute_line_offsets() {
  try {
    return Line_offsets::from_chan(*channel_);
  } catch (const std::system_error& e) {
    rethrow_named(e);
  }
}

bool Channel_cursor::start(std::int64_t offset) {
  std::streambuf* buf = channel_->rdbuf();
  bool moved = false;
  try {
    if (!resume_ && buf != nullptr) {
      const std::streampos at = buf->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
      if (at != failed_seek) resume_ = at;
    }
    moved = buf != nullptr &&
            buf->pubseekpos(static_cast<std::streamoff>(offset), std::ios_base::in) != failed_seek;
  } catch (const std::system_error& e) {
    if (offset != 0) rethrow_named(e);
  }
  if (!moved && offset != 0)
    throw Placed<std::system_error>(Failure_place(name(), 0), ESPIPE, std::generic_category(),
                                    name() + ": cannot seek back to where its line table stopped");
  return moved;
}

std::string_view Channel_cursor::next() {
  std::streambuf* buf = channel_->rdbuf();
  if (buf == nullptr) return {};
  if (!block_) block_ = std::make_unique<char[]>(block_size);
  try {
    const std::streamsize got = buf->sgetn(block_.get(), block_size);
    return {block_.get(), static_cast<std::size_t>(got > 0 ? got : 0)};
  } catch (const std::system_error& e) {
    rethrow_named(e);
  }
}

bool Channel_cursor::at_end() {
  // Only a file can tell without reading on: where its size says it ends,
  // a look at the next byte (none) makes sure.
  if (file_ == nullptr || channel_->rdbuf() != file_ || !file_->shares()) return false;
  try {
    const std::streampos at = file_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (at == failed_seek || std::streamoff(at) != file_->identity().size) return false;
    return std::streambuf::traits_type::eq_int_type(file_->sgetc(),
                                                    std::streambuf::traits_type::eof());
  } catch (const std::system_error& e) {
    rethrow_named(e);
  }
}

}  // namespace vantel::detail
