// SPDX-License-Identifier: MIT
// terminal_for on a pseudo-terminal and on a pipe, under each variable.
#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> variables = {"NO_COLOR", "CLICOLOR_FORCE", "FORCE_COLOR", "TERM",
                                            "COLUMNS"};

// Sets the variables a case names, unsets the others, and puts all back.
class Environment_guard {
 public:
  explicit Environment_guard(const std::map<std::string, std::string>& set) {
    for (const std::string& name : variables) {
      if (const char* value = std::getenv(name.c_str())) saved_[name] = value;
      ::unsetenv(name.c_str());
    }
    for (const auto& [name, value] : set) ::setenv(name.c_str(), value.c_str(), 1);
  }
  Environment_guard(const Environment_guard&) = delete;
  Environment_guard& operator=(const Environment_guard&) = delete;
  ~Environment_guard() {
    for (const std::string& name : variables) {
      ::unsetenv(name.c_str());
      if (auto it = saved_.find(name); it != saved_.end())
        ::setenv(name.c_str(), it->second.c_str(), 1);
    }
  }

 private:
  std::map<std::string, std::string> saved_;
};

struct Case {
  const char* what;
  std::optional<unsigned short> pty_columns;  // none: a pipe
  std::map<std::string, std::string> env;
  bool color;
  std::int64_t width;
};

TEST(Terminal, ColourAndWidthFollowTheDescriptorAndTheVariables) {
  const std::vector<Case> cases = {
      {"terminal", 97, {{"TERM", "xterm"}}, true, 97},
      {"terminal without a size, COLUMNS", 0, {{"COLUMNS", "120"}}, true, 120},
      {"terminal without a size", 0, {}, true, 80},
      {"malformed COLUMNS", 0, {{"COLUMNS", "12x"}}, true, 80},
      {"NO_COLOR", 97, {{"NO_COLOR", "1"}}, false, 97},
      {"empty NO_COLOR", 97, {{"NO_COLOR", ""}}, true, 97},
      {"dumb terminal", 97, {{"TERM", "dumb"}}, false, 97},
      {"dumb terminal, forced", 97, {{"TERM", "dumb"}, {"CLICOLOR_FORCE", "1"}}, true, 97},
      {"pipe", std::nullopt, {{"COLUMNS", "120"}}, false, 0},
      {"pipe, CLICOLOR_FORCE", std::nullopt, {{"CLICOLOR_FORCE", "1"}}, true, 0},
      {"pipe, FORCE_COLOR", std::nullopt, {{"FORCE_COLOR", "yes"}}, true, 0},
      {"pipe, FORCE_COLOR=0", std::nullopt, {{"FORCE_COLOR", "0"}}, false, 0},
      {"NO_COLOR wins", std::nullopt, {{"FORCE_COLOR", "1"}, {"NO_COLOR", "1"}}, false, 0},
  };
  // A chroot without /dev/pts has no pseudo-terminals: the pipe cases still run.
  bool no_pty = false;
  for (const Case& c : cases) {
    int ends[2] = {-1, -1};
    if (c.pty_columns) {
      winsize size{};
      size.ws_row = 24;
      size.ws_col = *c.pty_columns;
      if (::openpty(&ends[0], &ends[1], nullptr, nullptr, &size) != 0) {
        no_pty = true;
        continue;
      }
    } else {
      ASSERT_EQ(::pipe(ends), 0);
    }
    vantel::Terminal got;
    {
      const Environment_guard guard(c.env);
      got = vantel::terminal_for(ends[1]);
    }
    ::close(ends[0]);
    ::close(ends[1]);
    const bool on_terminal = c.pty_columns.has_value();
    EXPECT_EQ(got.is_terminal, on_terminal) << c.what;
    EXPECT_EQ(got.color, c.color) << c.what;
    EXPECT_EQ(got.layout.width, c.width) << c.what;
    EXPECT_EQ(got.layout.columns == vantel::Layout::Columns::Text, on_terminal) << c.what;
    EXPECT_EQ(got.styles.error.open, c.color ? vantel::Styles::ansi().error.open : "") << c.what;
  }
  if (no_pty) GTEST_SKIP() << "no pseudo-terminal here: only the pipe cases ran";
}

}  // namespace
