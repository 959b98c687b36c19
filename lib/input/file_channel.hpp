// SPDX-License-Identifier: MIT
// A file opened read-only through a file descriptor, read as a std::istream.
#pragma once

#include "input/kept_blocks.hpp"

#include <cstdint>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::detail {

// What tells one state of a file from another without reading it: which file
// it is (device and inode), its size, and its modification and change times
// in nanoseconds. A file rewritten to the same size within the file system's
// timestamp resolution keeps its identity: that one change goes unseen. Files
// that the kernel makes up as they are read (/proc, /sys) report a size of 0
// or 4096 and times that do not move while their text does: for them, and
// for anything but a regular file, the identity tells nothing of the content.
struct File_identity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modified_s = 0;  // seconds and nanoseconds apart: no product to overflow
  std::int64_t modified_ns = 0;
  std::int64_t changed_s = 0;
  std::int64_t changed_ns = 0;
  bool regular = false;
  // Whether equal identities mean equal content: a regular file that is not
  // empty, on a file system that stores what is written to it.
  bool tells_content = false;

  friend bool operator==(const File_identity& a, const File_identity& b) noexcept {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified_s == b.modified_s && a.modified_ns == b.modified_ns &&
           a.changed_s == b.changed_s && a.changed_ns == b.changed_ns && a.regular == b.regular &&
           a.tells_content == b.tells_content;
  }
  friend bool operator!=(const File_identity& a, const File_identity& b) noexcept {
    return !(a == b);
  }
};

// Stream buffer over an open descriptor. Reading fails with std::system_error
// naming the file, rather than looking like the end of the file; a seek that
// the descriptor refuses reports failure as streams do. Releases the
// descriptor when destroyed. From its second seek away from the bytes at hand
// on, a regular file is read at each such seek in a whole block that is kept
// (up to Kept_blocks::count of them): quotes all over one opening read each
// block once.
class File_buf final : public std::streambuf {
 public:
  // Opens `name` read-only. std::system_error naming the file when it cannot
  // be opened or is a directory. A file whose identity equals `known`, which
  // told its content, tells it again without asking its file system.
  explicit File_buf(std::string name, const File_identity& known = {});
  // Another reader of the regular file that `shared` opened: a position and
  // a buffer of its own, and `shared`'s descriptor and kept blocks, which it
  // never closes. `shared` must stay open while it reads.
  struct Reader_of {
    const File_buf& shared;
  };
  explicit File_buf(Reader_of reader);
  File_buf(const File_buf&) = delete;
  File_buf& operator=(const File_buf&) = delete;
  ~File_buf() override;

  // The file as failures name it.
  [[nodiscard]] const std::string& name() const noexcept { return shown_name_; }
  // The file as it was when opened.
  [[nodiscard]] const File_identity& identity() const noexcept { return identity_; }

  // Releases the descriptor now; std::system_error when the system reports a
  // failure. Later calls do nothing.
  void close();

  // Whether another reader can read through this one's descriptor: a
  // regular file, read at offsets of our own.
  [[nodiscard]] bool shares() const noexcept { return positioned_; }

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
  // A descriptor read at offsets of our own (a regular file), and one whose
  // own position is moved (anything else).
  pos_type seek_positioned(off_type off, std::ios_base::seekdir dir);
  pos_type seek_descriptor(off_type off, std::ios_base::seekdir dir);
  // read(2), or pread(2) at next_ for a regular file, into `s`, retried on
  // EINTR; 0 at the end of the file. Inlined into both its callers: a scan
  // of a whole file calls it every 16 KiB.
  [[gnu::always_inline]] inline std::size_t read_some(char* s, std::size_t n);
  // pread(2) of `n` bytes at `at`, retried on EINTR and short reads; fewer
  // only at the end of the file.
  std::size_t read_at(char* s, std::size_t n, off_type at);
  // A read of `n` bytes at `at` that failed with `error`: 0 when it asked
  // for bytes at or past the last offset a file can name, which no file
  // holds (the file's end, not a failure); else throws.
  [[nodiscard]] std::size_t failed_read(int error, off_type at, std::size_t n) const;
  // Makes the kept block holding next_ the buffer, reading and keeping it
  // first when `fetch`; false when it is not kept, or next_ lies past the
  // file's end as it was opened (which is read as before).
  bool take_kept_block(bool fetch);
  // Reads block `index` whole and keeps it; none when the file holds less
  // than it did at its opening.
  std::shared_ptr<const Kept_block> read_block(off_type index);
  // Gives this reader a slot for each of kept_'s.
  void share_kept_blocks();
  [[noreturn]] void fail(int error) const;

  static constexpr std::size_t buffer_size = 16384;
  static constexpr std::size_t page = 4096;
  std::string name_;
  std::string shown_name_;
  File_identity identity_;
  int fd_ = -1;
  // A regular file is read at offsets of our own, so that seeking costs no
  // system call; anything else reads and seeks through the descriptor.
  bool positioned_ = false;
  // Offset of the byte after the buffer, whose bytes are those just before it.
  off_type next_ = 0;
  bool just_sought_ = false;
  bool owns_fd_ = true;
  int far_seeks_ = 0;
  std::shared_ptr<Kept_blocks> kept_;  // a regular file's, shared by its readers
  // The kept blocks this reader has read, the one read now among them: only
  // that one while it reads the file alone; once others read it too (forks
  // for other threads), as many as kept_ holds, so that each reader takes
  // no lock and no count for the blocks it has met.
  std::unique_ptr<std::shared_ptr<const Kept_block>[]> own_blocks_;  // made at the first
  std::size_t own_count_ = 1;
  char buffer_[buffer_size];
};

// An opened file and the stream that reads it.
class File_channel {
 public:
  explicit File_channel(std::string name, const File_identity& known = {})
      : buf_(std::move(name), known), stream_(&buf_) {}
  explicit File_channel(File_buf::Reader_of reader) : buf_(reader), stream_(&buf_) {}
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
