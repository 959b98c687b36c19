// SPDX-License-Identifier: MIT
// Helpers that several test files share.
#pragma once

#include "full_buf.hpp"

#include <vantel/vantel.hpp>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>
#include <system_error>
#include <vector>

namespace test {

// What pp prints for these locations.
inline std::string quote(const vantel::Input& input, const std::vector<vantel::Location>& locations,
                         int max_lines = 10) {
  std::ostringstream out;
  vantel::Formatter f(out);
  vantel::pp(input, f, locations, max_lines);
  return out.str();
}

inline vantel::Location offsets(std::int64_t start, std::int64_t end) {
  return {vantel::Position::of_offset(start), vantel::Position::of_offset(end)};
}

// A file under the system's temporary folder, removed at the end of the test.
class Temp_file {
 public:
  explicit Temp_file(const std::string& content) {
    std::string path = (std::filesystem::temp_directory_path() / "vantel-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path);
    ::close(fd);
    path_ = path;
    write(content);
  }
  Temp_file(const Temp_file&) = delete;
  Temp_file& operator=(const Temp_file&) = delete;
  ~Temp_file() { std::remove(path_.c_str()); }

  void write(const std::string& content) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
  }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// How many file descriptors the process holds open.
inline std::size_t open_descriptors() {
  namespace fs = std::filesystem;
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

}  // namespace test
