#include "helpers.hpp"

#include "vantel-quote/quote_cli.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs vantel-quote in-process; returns its exit status, output and errors.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args, std::uintmax_t each_in_memory_limit) {
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  vantel_quote::Environment env{in, out, err};
  env.each_in_memory_limit = each_in_memory_limit;
  const int status = vantel_quote::run(args, env);
  return {status, out.str(), err.str()};
}

TEST(CliEach, AFileQuotedThroughItsStreamPrintsWhatItPrintsFromMemory) {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "line " + std::to_string(i) + " of the file\r\n";
  const test::Temp_file file(text);
  const std::vector<std::string> args = {"--each",     file.path(), "3:1..3:5",
                                         "39:6..40:3", "1:1..1:2",  "43:1..43:2"};
  const Outcome from_memory = run(args, UINTMAX_MAX);
  const Outcome from_stream = run(args, 0);
  EXPECT_EQ(from_stream.out, from_memory.out);
  EXPECT_EQ(from_stream.out,
            "3 | line 3 of the file\n    ^^^^\n"
            "39 | .....39 of the file\n40 | li.................\n"
            "1 | line 1 of the file\n    ^\n");
  EXPECT_EQ(from_stream.status, 1);  // there is no line 43
  EXPECT_EQ(from_stream.err, from_memory.err);
  EXPECT_NE(from_stream.err, "");
}

TEST(CliReport, LabelsFollowTheFirstEqualsSignOfTheirLocation) {
  const vantel_quote::Options o =
      vantel_quote::parse_arguments({"--message=a = b", "--code", "E1", "--note=n1", "--note", "n2",
                                     "f", "1..2=x = y", "3..4", "-2..-1="});
  ASSERT_TRUE(o.report.message);
  EXPECT_EQ(*o.report.message, "a = b");
  EXPECT_EQ(o.report.code, "E1");
  EXPECT_EQ(o.report.notes, (std::vector<std::string>{"n1", "n2"}));
  EXPECT_EQ(o.report.labels, (std::vector<std::string>{"x = y", "", ""}));
  EXPECT_EQ(o.locations.size(), 3u);
}

TEST(CliReport, DrawsTheFirstLocationAsPrimary) {
  const test::Temp_file file("let a = b\n");
  const Outcome o =
      run({"--message=m", "--severity=lint", file.path(), "1:9..1:10=here", "1:5..1:6=there"}, 0);
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out.substr(o.out.find('\n', o.out.find('\n') + 1) + 1), R"(  |
1 | let a = b
  |     -   ^ here
  |     |
  |     there
)");
  EXPECT_EQ(o.out.rfind("lint: m\n", 0), 0u);
}

}  // namespace
