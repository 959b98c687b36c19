// SPDX-License-Identifier: MIT
// Every export of a report gives the same bytes whatever kind of input holds
// its text and however often the input was read before.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Write = std::function<std::string(const vantel::Report&)>;

// A base URI names every input by its shown name, a file's too.
const char* const base = "file:///src/";

const std::vector<std::pair<const char*, Write>> writers = {
    {"sarif",
     [](const vantel::Report& r) {
       vantel::Sarif_log log({"t", {}, {}, {}},
                             {vantel::Sarif_column_kind::Utf16_code_units, base});
       log.add(r);
       return log.str();
     }},
    {"lsp",
     [](const vantel::Report& r) {
       vantel::Lsp_options lsp;
       lsp.base_uri = base;
       return vantel::to_lsp_json(r, lsp);
     }},
    {"one line", [](const vantel::Report& r) { return vantel::to_one_line(r); }},
    {"diff", [](const vantel::Report& r) { return vantel::unified_diff(r.fixes); }},
};

// A label and a fix from offset 0 across line feeds: the end's line is past
// what a fresh input's table has counted.
vantel::Report report_on(const vantel::Input& input, std::int64_t end) {
  vantel::Report r;
  r.message = "m";
  const vantel::Source source(input, "f");
  r.labels.emplace_back(source, test::offsets(0, end));
  r.fixes.push_back({"x", {vantel::Edit(source, test::offsets(0, end), "X")}, {}});
  return r;
}

TEST(ExportHistory, FileAndStreamInputsAgreeWithAStringOnFirstAndSecondCall) {
  const std::string texts[] = {"a\nb\nc", "alpha\nbeta\ngamma\ndelta\n", "x\r\ny\r\n"};
  for (const std::string& text : texts) {
    const auto end = static_cast<std::int64_t>(text.size());
    const test::Temp_file file(text);
    for (const auto& [name, write] : writers) {
      const std::string expected = write(report_on(vantel::Input::string(text), end));
      const vantel::Input from_file = vantel::Input::file(file.path());
      std::istringstream stream(text);
      const vantel::Input from_stream = vantel::Input::in_channel(stream);
      for (const vantel::Input& input : {from_file, from_stream}) {
        const vantel::Report r = report_on(input, end);
        EXPECT_EQ(write(r), expected) << name << " first, on " << text;
        EXPECT_EQ(write(r), expected) << name << " second, on " << text;
      }
    }
  }
}

}  // namespace
