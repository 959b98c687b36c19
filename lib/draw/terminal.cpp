// SPDX-License-Identifier: MIT
#include <vantel/terminal.hpp>

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace vantel {
namespace {

constexpr std::int64_t unknown_terminal_width = 80;

bool set_and_not_empty(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool forced(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

// A positive decimal that fits in a row width; 0 for anything else, so that a
// malformed COLUMNS falls back to the default instead of failing.
std::int64_t columns_variable() {
  const char* value = std::getenv("COLUMNS");
  if (value == nullptr || *value == '\0') return 0;
  std::int64_t width = 0;
  for (const char* c = value; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || width > 1'000'000) return 0;
    width = width * 10 + (*c - '0');
  }
  return width;
}

std::int64_t terminal_width(int fd) {
  if (winsize size{}; ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const std::int64_t width = columns_variable(); width > 0) return width;
  return unknown_terminal_width;
}

bool colors(bool is_terminal) {
  if (set_and_not_empty("NO_COLOR")) return false;
  if (forced("CLICOLOR_FORCE") || forced("FORCE_COLOR")) return true;
  const char* term = std::getenv("TERM");
  return is_terminal && !(term != nullptr && std::strcmp(term, "dumb") == 0);
}

}  // namespace

Terminal terminal_for(int fd) {
  Terminal terminal;
  terminal.is_terminal = fd >= 0 && ::isatty(fd) == 1;
  terminal.color = colors(terminal.is_terminal);
  if (terminal.color) terminal.styles = Styles::ansi();
  if (terminal.is_terminal) {
    terminal.layout.columns = Layout::Columns::Text;
    terminal.layout.width = terminal_width(fd);
  }
  return terminal;
}

Terminal terminal_for(const std::ostream& stream) {
  if (&stream == &std::cout) return terminal_for(STDOUT_FILENO);
  if (&stream == &std::cerr || &stream == &std::clog) return terminal_for(STDERR_FILENO);
  return terminal_for(-1);
}

}  // namespace vantel
