// A file opened read-only through a file descriptor, read as a std::istream.
#pragma once

#include <istream>
#include <streambuf>
#include <string>
#include <string_view>

namespace vantel::detail {

// Stream buffer over an open descriptor. Reading fails with std::system_error
// naming the file, rather than looking like the end of the file; a seek that
// the descriptor refuses reports failure as streams do. Releases the
// descriptor when destroyed.
class File_buf final : public std::streambuf {
 public:
  // Opens `name` read-only. std::system_error naming the file when it cannot
  // be opened or is a directory.
  explicit File_buf(std::string name);
  File_buf(const File_buf&) = delete;
  File_buf& operator=(const File_buf&) = delete;
  ~File_buf() override;

  // Releases the descriptor now; std::system_error when the system reports a
  // failure. Later calls do nothing.
  void close();

  // The bytes read ahead and not yet taken; consume(n) takes the first n.
  [[nodiscard]] std::string_view buffered() const noexcept {
    return {gptr(), static_cast<std::size_t>(egptr() - gptr())};
  }
  void consume(std::size_t count) noexcept { gbump(static_cast<int>(count)); }

 protected:
  int_type underflow() override;
  std::streamsize xsgetn(char_type* s, std::streamsize n) override;
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

 private:
  // read(2) into `s`, retried on EINTR; 0 at the end of the file.
  std::size_t read_some(char* s, std::size_t n);
  [[noreturn]] void fail(int error) const;

  static constexpr std::size_t buffer_size = 16384;
  std::string name_;
  int fd_ = -1;
  char buffer_[buffer_size];
};

// An opened file and the stream that reads it.
class File_channel {
 public:
  explicit File_channel(std::string name) : buf_(std::move(name)), stream_(&buf_) {}
  File_channel(const File_channel&) = delete;
  File_channel& operator=(const File_channel&) = delete;

  [[nodiscard]] std::istream& stream() noexcept { return stream_; }
  [[nodiscard]] File_buf& buffer() noexcept { return buf_; }
  void close() { buf_.close(); }

 private:
  File_buf buf_;
  std::istream stream_;
};

}  // namespace vantel::detail
