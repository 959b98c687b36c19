// SPDX-License-Identifier: MIT
#include "vantel-quote/whole_input.hpp"

#include <vantel/error.hpp>

#include <cerrno>
#include <cstddef>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantel_quote {
namespace {

// Failures that name their input, placed as the library places its own, so
// that they are reported as they are.
struct Read_failure : std::system_error, vantel::Failure_place {
  Read_failure(int error, const std::string& name)
      : std::system_error(error, std::generic_category(), name), vantel::Failure_place(name, 0) {}
};
struct Endless_input : std::runtime_error, vantel::Failure_place {
  explicit Endless_input(const std::string& name)
      : std::runtime_error(name +
                           ": is a character device other than a terminal, which may "
                           "never end"),
        vantel::Failure_place(name, 0) {}
};

[[noreturn]] void fail(int error, const std::string& name) {
  throw Read_failure(error, name);
}

// Closes the descriptor that it was given when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) noexcept : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { ::close(fd_); }
  [[nodiscard]] int get() const noexcept { return fd_; }

 private:
  int fd_;
};

// A directory cannot be quoted, and a character device other than a
// terminal may give bytes for ever: both are refused before any read.
void check_readable(int fd, const struct stat& info, const std::string& name) {
  if (S_ISDIR(info.st_mode)) fail(EISDIR, name);
  if (S_ISCHR(info.st_mode) && ::isatty(fd) != 1) throw Endless_input(name);
}

struct stat status_of(int fd, const std::string& name) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) fail(errno, name);
  return info;
}

std::string read_checked(int fd, const std::string& name) {
  constexpr std::size_t block = 65536;
  std::string text;
  std::size_t got = 0;
  for (;;) {
    text.resize(got + block);
    const ssize_t n = ::read(fd, text.data() + got, block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(errno, name);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return text;
}

}  // namespace

std::optional<std::string> read_if_unseekable(const std::string& path) {
  // The system reads a name up to its first NUL: the rest would name
  // another file.
  if (path.find('\0') != std::string::npos) fail(EINVAL, path);
  // A regular file seeks: it is opened once, by the quote.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return std::nullopt;
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) fail(errno, path);
  const Descriptor file(fd);
  check_readable(fd, status_of(fd, path), path);
  if (::lseek(fd, 0, SEEK_CUR) >= 0) return std::nullopt;
  return read_checked(fd, path);
}

std::string read_whole(int fd, const std::string& name) {
  check_readable(fd, status_of(fd, name), name);
  return read_checked(fd, name);
}

}  // namespace vantel_quote
