// SPDX-License-Identifier: MIT
// Sources that vantel-quote reads whole before quoting: quoting seeks, and
// pipes, FIFOs and terminals cannot.
#pragma once

#include <optional>
#include <string>

namespace vantel_quote {

// The bytes of `path` when it cannot seek (a pipe, a FIFO, a socket, a
// terminal); nothing for a file that can, which is quoted through its name
// (a regular file is not even opened here: the quote opens it). Throws
// std::system_error naming `path` when it cannot be opened or read, or is a
// directory, and std::runtime_error for a character device other than a
// terminal (/dev/zero, /dev/urandom), which may never end.
[[nodiscard]] std::optional<std::string> read_if_unseekable(const std::string& path);

// Every byte that the open descriptor `fd` gives, read as `name` is named in
// failures; a character device other than a terminal is refused as above.
[[nodiscard]] std::string read_whole(int fd, const std::string& name);

}  // namespace vantel_quote
