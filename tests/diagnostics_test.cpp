// SPDX-License-Identifier: MIT
// The source registry and the diagnostics engine.
#include <vantel/vantel.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

vantel::Report warning(const vantel::Source& source, std::int64_t start, std::string code,
                       std::string message) {
  vantel::Report report;
  report.severity = vantel::Severity::Warning;
  report.code = std::move(code);
  report.message = std::move(message);
  report.labels.emplace_back(source, vantel::Position::of_offset(start),
                             vantel::Position::of_offset(start + 1));
  return report;
}

vantel::Report error(const vantel::Source& source, std::int64_t start, std::string message) {
  vantel::Report report = warning(source, start, "", std::move(message));
  report.severity = vantel::Severity::Error;
  return report;
}

vantel::Diagnostics_options one_line(vantel::Diagnostics_order order) {
  vantel::Diagnostics_options options;
  options.format = vantel::Diagnostics_format::One_line;
  options.order = order;
  return options;
}

TEST(Sources, AddsEachNameOnceAndFindsIt) {
  vantel::Sources sources;
  const std::string held = "held\n";
  const vantel::Source a = sources.add_text("a.calc", "x = 1\n");
  const vantel::Source b = sources.add_view("b.calc", held);
  EXPECT_TRUE(sources.add_text("a.calc", "x = 1\n").input.same_as(a.input));
  EXPECT_TRUE(sources.add_view("b.calc", std::string("held\n")).input.same_as(b.input));
  EXPECT_THROW((void)sources.add_text("a.calc", "x = 2\n"), std::invalid_argument);
  EXPECT_THROW((void)sources.add_file("b.calc"), std::invalid_argument);
  ASSERT_TRUE(sources.find("b.calc"));
  EXPECT_TRUE(sources.find("b.calc")->input.same_as(b.input));
  EXPECT_FALSE(sources.find("c.calc"));
  const vantel::Sources copy = sources;
  ASSERT_EQ(copy.size(), 2u);
  EXPECT_EQ(copy.all()[0].name, "a.calc");
  EXPECT_EQ(vantel::to_string(a.input,
                              {{vantel::Position::of_offset(0), vantel::Position::of_offset(1)}}),
            "1 | x = 1\n    ^\n");
}

// What one engine writes and counts for the same reports under each option.
TEST(Diagnostics, CountsPromotesDropsAndWritesOnce) {
  vantel::Sources sources;
  const vantel::Source s = sources.add_text("a.calc", "x = 1\ny = 2\nz = 3\n");
  struct Case {
    const char* what;
    vantel::Diagnostics_options options;
    const char* out;
    std::size_t errors;
    std::size_t warnings;
  };
  vantel::Diagnostics_options all = one_line(vantel::Diagnostics_order::As_reported);
  vantel::Diagnostics_options promote_all = all;
  promote_all.warnings_as_errors = true;
  vantel::Diagnostics_options promote_w2 = all;
  promote_w2.warnings_as_errors_codes = {"W2"};
  vantel::Diagnostics_options drop_w1 = all;
  drop_w1.disabled_codes = {"W1"};
  vantel::Diagnostics_options limited = all;
  limited.error_limit = 1;
  const std::vector<Case> cases = {
      {"as reported", all,
       "a.calc:3:1: warning[W1]: late\na.calc:1:1: warning[W2]: early\na.calc:2:1: error: bad\n", 1,
       2},
      {"all warnings as errors", promote_all,
       "a.calc:3:1: error[W1]: late\na.calc:1:1: error[W2]: early\na.calc:2:1: error: bad\n", 3, 0},
      {"one code as an error", promote_w2,
       "a.calc:3:1: warning[W1]: late\na.calc:1:1: error[W2]: early\na.calc:2:1: error: bad\n", 2,
       1},
      {"a code turned off", drop_w1, "a.calc:1:1: warning[W2]: early\na.calc:2:1: error: bad\n", 1,
       1},
      {"sorted", one_line(vantel::Diagnostics_order::Sorted),
       "a.calc:1:1: warning[W2]: early\na.calc:2:1: error: bad\na.calc:3:1: warning[W1]: late\n", 1,
       2},
      {"error limit", limited,
       "a.calc:3:1: warning[W1]: late\na.calc:1:1: warning[W2]: early\na.calc:2:1: error: bad\n"
       "note: stopped after 1 error: 1 more error and 1 other report not shown\n",
       2, 3},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    vantel::Diagnostics engine(out, sources, c.options);
    engine.report(warning(s, 12, "W1", "late"));
    engine.report(warning(s, 0, "W2", "early"));
    engine.report(error(s, 6, "bad"));
    engine.report(error(s, 6, "bad"));  // identical: written and counted once
    if (c.options.error_limit != 0) {
      engine.report(error(s, 7, "worse"));
      engine.report(warning(s, 8, "W3", "after"));
    }
    EXPECT_EQ(engine.finish(), 1) << c.what;
    EXPECT_EQ(out.str(), c.out) << c.what;
    EXPECT_EQ(engine.count(vantel::Severity::Error), c.errors) << c.what;
    EXPECT_EQ(engine.count(vantel::Severity::Warning), c.warnings) << c.what;
    EXPECT_THROW(engine.report(error(s, 0, "late")), std::logic_error) << c.what;
  }
}

TEST(Diagnostics, FinishGivesZeroWithoutErrorsAndOnceOnly) {
  vantel::Sources sources;
  const vantel::Source s = sources.add_text("a.calc", "x\n");
  std::ostringstream out;
  vantel::Diagnostics engine(out, sources, one_line(vantel::Diagnostics_order::Sorted));
  engine.report(warning(s, 0, "W", "w"));
  EXPECT_EQ(engine.finish(), 0);
  EXPECT_EQ(engine.finish(), 0);
  EXPECT_EQ(out.str(), "a.calc:1:1: warning[W]: w\n");
}

// Drawn reports share a stream per thread: one reported while another is
// being drawn (here by the input's own callback) is drawn whole on its own,
// and neither picture takes bytes of the other.
TEST(Diagnostics, AReportMadeWhileAnotherIsDrawnIsDrawnApart) {
  vantel::Sources sources;
  const vantel::Source inner = sources.add_text("b.calc", "y\n");
  std::ostringstream out;
  vantel::Diagnostics_options options;
  options.terminal = vantel::Terminal{};
  vantel::Diagnostics engine(out, sources, options);
  const std::string text = "x\n";
  auto at = std::make_shared<std::int64_t>(0);
  bool nested = false;
  const vantel::Source outer(
      vantel::Input::raw(
          [at](std::int64_t offset) {
            *at = offset;
            return vantel::Seek_result::Ok;
          },
          [&, at]() -> vantel::Byte {
            if (!nested) {
              nested = true;
              engine.report(error(inner, 0, "inner"));
            }
            if (*at >= 2) return vantel::End_of_input;
            return static_cast<unsigned char>(text[static_cast<std::size_t>((*at)++)]);
          },
          [] {
            return vantel::Line_table{0, 2};
          }),
      "a.calc");
  engine.report(error(outer, 0, "outer"));
  EXPECT_EQ(engine.finish(), 1);
  EXPECT_EQ(out.str(), R"(error: inner
 --> b.calc:1:1
  |
1 | y
  | ^
error: outer
 --> a.calc:1:1
  |
1 | x
  | ^
)");
}

TEST(Diagnostics, DataFormatsHoldOneRunAndOneEntryPerFile) {
  vantel::Sources sources;
  const vantel::Source a = sources.add_text("a.calc", "x = 1\n");
  const vantel::Source b = sources.add_text("b.calc", "y = 2\n");
  for (auto format : {vantel::Diagnostics_format::Sarif, vantel::Diagnostics_format::Lsp}) {
    vantel::Diagnostics_options options;
    options.format = format;
    options.order = vantel::Diagnostics_order::Sorted;
    std::ostringstream out;
    vantel::Diagnostics engine(out, sources, options);
    engine.report(error(b, 0, "in b"));
    engine.report(warning(a, 4, "W", "in a, later"));
    engine.report(error(a, 0, "in a"));
    EXPECT_EQ(engine.finish(), 1);
    const nlohmann::json got = nlohmann::json::parse(out.str());
    if (format == vantel::Diagnostics_format::Sarif) {
      ASSERT_EQ(got["runs"].size(), 1u);
      EXPECT_EQ(got["runs"][0]["artifacts"],
                nlohmann::json::parse(R"([{"location": {"uri": "a.calc"}},
                                          {"location": {"uri": "b.calc"}}])"));
      const auto& results = got["runs"][0]["results"];
      ASSERT_EQ(results.size(), 3u);
      EXPECT_EQ(results[0]["message"]["text"], "in a");
      EXPECT_EQ(results[2]["message"]["text"], "in b");
    } else {
      ASSERT_EQ(got.size(), 2u);
      EXPECT_EQ(got[0]["uri"], "a.calc");
      EXPECT_EQ(got[0]["diagnostics"].size(), 2u);
      EXPECT_EQ(got[1]["uri"], "b.calc");
      EXPECT_EQ(got[1]["diagnostics"][0]["message"], "in b");
    }
  }
}

}  // namespace
