// SPDX-License-Identifier: MIT
// Input::view: a text the host holds, quoted in place.
#include "helpers.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(View, QuotesAndConvertsAsAStringInputDoes) {
  const std::string text = "let a = 1\r\nlet bb = \"x\"\n\nprint a + bb";
  const vantel::Input viewed = vantel::Input::view(text, "v");
  const vantel::Input copied = vantel::Input::string(text, "v");
  const std::vector<std::vector<vantel::Location>> cases = {
      {test::offsets(4, 5)},
      {test::offsets(14, 30)},
      {test::offsets(0, 44)},
      {{vantel::Position::of_line_col(4, 7), vantel::Position::of_line_col(4, 13)}},
      {test::offsets(60, 70)},
  };
  for (const auto& locations : cases)
    EXPECT_EQ(test::quote(viewed, locations), test::quote(copied, locations));
  for (std::int64_t line = 1; line <= 5; ++line) {
    const vantel::Position p = vantel::Position::of_line_col(line, 2);
    vantel::Error a;
    vantel::Error b;
    EXPECT_EQ(vantel::Position::to_offset(viewed, p, a), vantel::Position::to_offset(copied, p, b));
    EXPECT_EQ(a.message, b.message);
  }
}

TEST(View, ReadsTheHostsBytesNotACopy) {
  std::string text = "alpha\nbeta\n";
  const vantel::Input input = vantel::Input::view(text);
  EXPECT_EQ(test::quote(input, {test::offsets(6, 8)}), "2 | beta\n    ^^\n");
  text[6] = 'z';  // same length, same line feeds: the view sees it
  EXPECT_EQ(test::quote(input, {test::offsets(6, 8)}), "2 | zeta\n    ^^\n");
}

TEST(View, FailuresNameTheView) {
  const std::string text = "one\n";
  vantel::Error error;
  (void)vantel::to_string(
      vantel::Input::view(text, "held.txt"),
      {{vantel::Position::of_line_col(9, 1), vantel::Position::of_line_col(9, 2)}}, error);
  EXPECT_NE(error.message.find("held.txt"), std::string::npos) << error.message;
}

}  // namespace
