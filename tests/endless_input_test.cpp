// SPDX-License-Identifier: MIT
// An input that never ends, quoted through a window: drawn as a line that
// goes on, never read forever.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(EndlessInput, IsCutPastTheWindowInQuotesAndReports) {
  vantel::Layout layout;
  layout.columns = vantel::Layout::Columns::Text;
  layout.width = 60;
  const vantel::Input zero = vantel::Input::file("/dev/zero");
  const std::string quote = vantel::to_string(zero, {test::offsets(0, 1)}, layout, 1);
  EXPECT_NE(quote.find("1 | "), std::string::npos) << quote;
  vantel::Report report;
  report.message = "m";
  report.labels.emplace_back(zero, "zero", test::offsets(3, 4), "here");
  const std::string drawn = vantel::to_string(report, layout);
  EXPECT_NE(drawn.find("zero:1:4"), std::string::npos) << drawn;
}

}  // namespace
