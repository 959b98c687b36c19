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

}  // namespace
