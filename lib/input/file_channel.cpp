// SPDX-License-Identifier: MIT
#include "input/file_channel.hpp"
#include "support/placed.hpp"

#include "support/message_text.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/vfs.h>
#endif

namespace vantel::detail {
namespace {

// Whether the file system under `fd` makes its files up as they are read, so
// that their sizes and times say nothing of their text. Linux names its file
// systems by a magic number; these are those of <linux/magic.h> and of the
// kernel's own sources whose regular files are generated. devpts and the like
// are left out: they hold no regular files. Elsewhere only the size tells.
bool generated_file_system(int fd) noexcept {
#ifdef __linux__
  static constexpr std::uint32_t generated[] = {
      0x9fa0,      // proc
      0x62656572,  // sysfs
      0x64626720,  // debugfs
      0x74726163,  // tracefs
      0x73636673,  // securityfs
      0xf97cff8c,  // selinuxfs
      0x43415d53,  // smackfs
      0x0027e0eb,  // cgroup
      0x63677270,  // cgroup2
      0x62656570,  // configfs
      0xcafe4a11,  // bpf
      0xde5e81e4,  // efivarfs
      0x42494e4d,  // binfmt_misc
      0x6e736673,  // nsfs
      0x65735543,  // fusectl
      0x19800202,  // mqueue
      0x6e667364,  // nfsd
      0x00009fa1,  // openpromfs
      0xabba1974,  // xenfs
  };
  struct statfs info {};
  int status = 0;
  do {
    status = ::fstatfs(fd, &info);
  } while (status != 0 && errno == EINTR);
  // Unknown is taken as generated: a table built again costs a scan, a table
  // kept wrongly costs wrong quotes.
  if (status != 0) return true;
  // f_type is signed on some systems; every magic number fits in 32 bits.
  const auto type = static_cast<std::uint32_t>(info.f_type);
  return std::find(std::begin(generated), std::end(generated), type) != std::end(generated);
#else
  (void)fd;
  return false;
#endif
}

}  // namespace

File_buf::File_buf(std::string name, const File_identity& known)
    : name_(std::move(name)), shown_name_(message_text(name_)) {
  // The system reads a name up to its first NUL: the bytes before it would
  // name another file.
  if (name_.find('\0') != std::string::npos) fail(EINVAL);
  do {
    fd_ = ::open(name_.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) fail(errno);
  // A directory opens fine on most systems and only fails at the first read;
  // say so at once instead.
  struct stat info {};
  int error = 0;
  if (::fstat(fd_, &info) != 0)
    error = errno;
  else if (S_ISDIR(info.st_mode))
    error = EISDIR;
  if (error != 0) {
    ::close(fd_);
    fd_ = -1;
    fail(error);
  }
  identity_ = {static_cast<std::uint64_t>(info.st_dev),
               static_cast<std::uint64_t>(info.st_ino),
               static_cast<std::int64_t>(info.st_size),
               static_cast<std::int64_t>(info.st_mtim.tv_sec),
               static_cast<std::int64_t>(info.st_mtim.tv_nsec),
               static_cast<std::int64_t>(info.st_ctim.tv_sec),
               static_cast<std::int64_t>(info.st_ctim.tv_nsec),
               S_ISREG(info.st_mode)};
  // Asking the file system costs a system call at every quote of a file
  // input; the file as it was last time needs no asking.
  identity_.tells_content = identity_.regular && identity_.size > 0;
  File_identity unchanged = identity_;
  unchanged.tells_content = true;
  if (identity_.tells_content && !(known.tells_content && known == unchanged))
    identity_.tells_content = !generated_file_system(fd_);
  positioned_ = identity_.regular;
  if (positioned_) kept_ = std::make_shared<Kept_blocks>();
  setg(buffer_, buffer_, buffer_);
}

File_buf::File_buf(Reader_of reader)
    : name_(reader.shared.name_),
      shown_name_(reader.shared.shown_name_),
      identity_(reader.shared.identity_),
      fd_(reader.shared.fd_),
      positioned_(true),
      owns_fd_(false),
      // A reader of an opening quoted all over: kept blocks from its first seek.
      far_seeks_(2),
      kept_(reader.shared.kept_),
      own_count_(Kept_blocks::count) {
  kept_->add_reader();
  setg(buffer_, buffer_, buffer_);
}

File_buf::~File_buf() {
  if (fd_ >= 0 && owns_fd_) ::close(fd_);
}

void File_buf::close() {
  if (fd_ < 0 || !owns_fd_) return;
  const int fd = fd_;
  fd_ = -1;
  setg(buffer_, buffer_, buffer_);
  // The descriptor is gone even when close reports EINTR; retrying could
  // close a descriptor that another thread has just been given.
  if (::close(fd) != 0 && errno != EINTR) fail(errno);
}

void File_buf::fail(int error) const {
  throw Placed<std::system_error>(Failure_place(name_, 0), error, std::generic_category(),
                                  shown_name_);
}

std::size_t File_buf::failed_read(int error, off_type at, std::size_t n) const {
  const auto room =
      static_cast<std::uint64_t>(std::numeric_limits<off_t>::max() - std::max<off_type>(at, 0));
  if (error == EINVAL && positioned_ && room < n) return 0;
  fail(error);
}

std::size_t File_buf::read_some(char* s, std::size_t n) {
  if (fd_ < 0) fail(EBADF);
  for (;;) {
    const ssize_t got =
        positioned_ ? ::pread(fd_, s, n, static_cast<off_t>(next_)) : ::read(fd_, s, n);
    if (got >= 0) {
      next_ += got;
      return static_cast<std::size_t>(got);
    }
    if (errno != EINTR) return failed_read(errno, next_, n);
  }
}

std::size_t File_buf::read_at(char* s, std::size_t n, off_type at) {
  if (fd_ < 0) fail(EBADF);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got =
        ::pread(fd_, s + done, n - done, static_cast<off_t>(at) + static_cast<off_t>(done));
    if (got == 0) break;
    if (got > 0)
      done += static_cast<std::size_t>(got);
    else if (errno != EINTR && failed_read(errno, at + static_cast<off_type>(done), n - done) == 0)
      break;
  }
  return done;
}

std::shared_ptr<const Kept_block> File_buf::read_block(off_type index) {
  const auto size = static_cast<off_type>(buffer_size);
  const off_type from = index * size;
  // The last block is as long as the file was at its opening; one that
  // reads shorter (the file was cut) is not kept.
  const off_type left = identity_.size - from;
  if (left <= 0) return nullptr;
  const auto want = static_cast<std::size_t>(std::min(left, size));
  auto fresh = std::make_shared<Kept_block>();
  fresh->index = index;
  fresh->size = want;
  fresh->bytes.reset(new char[buffer_size]);  // not zeroed: it is read over at once
  if (read_at(fresh->bytes.get(), want, from) < want) return nullptr;
  kept_->keep(fresh);
  return fresh;
}

void File_buf::share_kept_blocks() {
  auto slots = std::make_unique<std::shared_ptr<const Kept_block>[]>(Kept_blocks::count);
  if (own_blocks_ && own_blocks_[0]) {
    const std::size_t at = Kept_blocks::slot(own_blocks_[0]->index);
    slots[at] = std::move(own_blocks_[0]);
  }
  own_blocks_ = std::move(slots);
  own_count_ = Kept_blocks::count;
}

bool File_buf::take_kept_block(bool fetch) {
  const auto size = static_cast<off_type>(buffer_size);
  const off_type index = next_ / size;
  const off_type from = index * size;
  // This reader's own copy of the slot first: threads that read one file
  // then share no lock and no count for the blocks they have met.
  if (own_count_ == 1 && kept_->shared()) share_kept_blocks();
  if (!own_blocks_) own_blocks_ = std::make_unique<std::shared_ptr<const Kept_block>[]>(own_count_);
  std::shared_ptr<const Kept_block>& own =
      own_blocks_[static_cast<std::size_t>(index) % own_count_];
  // What the slot held lives to the end: it may be the block read now.
  std::shared_ptr<const Kept_block> previous;
  if (!own || own->index != index) {
    std::shared_ptr<const Kept_block> found = kept_->find(index);
    if (!found && fetch) found = read_block(index);
    if (!found) return false;
    previous = std::exchange(own, std::move(found));
  }
  const Kept_block& block = *own;
  // Past the end of a last block: what the file grew by is read as before.
  const auto length = static_cast<off_type>(block.size);
  if (next_ - from >= length) return false;
  char* bytes = block.bytes.get();
  setg(bytes, bytes + (next_ - from), bytes + length);
  next_ = from + length;
  just_sought_ = false;
  return true;
}

File_buf::int_type File_buf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  // Reading on from a block takes the next one if it is kept, and keeps it
  // only when sought: a long read straight through keeps nothing.
  if (far_seeks_ > 1 && take_kept_block(just_sought_)) return traits_type::to_int_type(*gptr());
  // Right after a seek, most often to quote a line or two, read to the end of
  // the page only: copying a whole buffer would cost more than the quote.
  std::size_t want = buffer_size;
  if (just_sought_) {
    want = page - static_cast<std::size_t>(next_ % static_cast<off_type>(page));
    if (want < page / 8) want += page;
    just_sought_ = false;
  }
  const std::size_t got = read_some(buffer_, want);
  setg(buffer_, buffer_, buffer_ + got);
  if (got == 0) return traits_type::eof();
  return traits_type::to_int_type(*gptr());
}

std::streamsize File_buf::xsgetn(char_type* s, std::streamsize n) {
  std::streamsize done = 0;
  while (done < n) {
    const std::streamsize buffered = egptr() - gptr();
    if (buffered > 0) {
      const std::streamsize take = std::min(buffered, n - done);
      std::memcpy(s + done, gptr(), static_cast<std::size_t>(take));
      gbump(static_cast<int>(take));
      done += take;
    } else if (n - done >= static_cast<std::streamsize>(buffer_size)) {
      // Large requests skip the buffer: one copy fewer, one call per chunk.
      // What the buffer held no longer ends where the next read starts.
      setg(buffer_, buffer_, buffer_);
      const std::size_t got = read_some(s + done, static_cast<std::size_t>(n - done));
      if (got == 0) break;
      done += static_cast<std::streamsize>(got);
    } else if (traits_type::eq_int_type(underflow(), traits_type::eof())) {
      break;
    }
  }
  return done;
}

File_buf::pos_type File_buf::seekoff(off_type off, std::ios_base::seekdir dir,
                                     std::ios_base::openmode which) {
  if (fd_ < 0 || (which & std::ios_base::in) == 0) return pos_type(off_type(-1));
  return positioned_ ? seek_positioned(off, dir) : seek_descriptor(off, dir);
}

File_buf::pos_type File_buf::seek_positioned(off_type off, std::ios_base::seekdir dir) {
  const pos_type failed(off_type(-1));
  // Reads say where they start: a seek only moves the next one.
  off_type base = next_ - (egptr() - gptr());
  if (dir == std::ios_base::beg) {
    base = 0;
  } else if (dir == std::ios_base::end) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return failed;
    base = static_cast<off_type>(info.st_size);
  }
  off_type to = 0;
  if (__builtin_add_overflow(base, off, &to) || to < 0) return failed;
  if (dir == std::ios_base::cur && off == 0) return pos_type(to);
  // A place among the bytes at hand is reached without reading them again:
  // quotes of nearby lines, one after the other, read the file once.
  const off_type held_from = next_ - (egptr() - eback());
  if (to >= held_from && to < next_) {
    setg(eback(), eback() + (to - held_from), egptr());
    return pos_type(to);
  }
  next_ = to;
  just_sought_ = true;
  if (far_seeks_ < 2) ++far_seeks_;
  setg(buffer_, buffer_, buffer_);
  return pos_type(to);
}

File_buf::pos_type File_buf::seek_descriptor(off_type off, std::ios_base::seekdir dir) {
  const pos_type failed(off_type(-1));
  if (dir == std::ios_base::cur) {
    // The descriptor stands past the bytes still buffered.
    const off_t end_of_buffer = ::lseek(fd_, 0, SEEK_CUR);
    if (end_of_buffer < 0) return failed;
    const off_type here = end_of_buffer - (egptr() - gptr());
    if (off == 0) return pos_type(here);
    if (__builtin_add_overflow(here, off, &off)) return failed;
    dir = std::ios_base::beg;
  }
  if (dir == std::ios_base::beg && off < 0) return failed;
  const off_t at = ::lseek(fd_, off, dir == std::ios_base::beg ? SEEK_SET : SEEK_END);
  if (at < 0) return failed;
  next_ = at;
  setg(buffer_, buffer_, buffer_);
  return pos_type(at);
}

File_buf::pos_type File_buf::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

}  // namespace vantel::detail
