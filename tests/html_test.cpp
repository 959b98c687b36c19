// SPDX-License-Identifier: MIT
#include "html_samples.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<vantel::Report> sample_reports() {
  std::vector<vantel::Report> reports;
  for (const test::Html_sample& s : test::html_samples()) reports.push_back(test::html_report(s));
  return reports;
}

std::string html_of(const std::vector<vantel::Report>& reports, const vantel::Html_options& options,
                    const vantel::Layout& layout = test::html_layout()) {
  std::ostringstream out;
  vantel::write_html(out, reports, layout, options);
  return out.str();
}

// What a reader without CSS sees of a fragment: the markup dropped and the
// entities read back.
std::string text_of(const std::string& html) {
  std::string text;
  bool in_tag = false;
  for (const char c : html) {
    if (c == '<' || c == '>') {
      in_tag = c == '<';
      continue;
    }
    if (!in_tag) text += c;
  }
  for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}}) {
    for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
      text.replace(at, std::string(entity).size(), c);
  }
  for (std::size_t at = 0; (at = text.find("&amp;", at)) != std::string::npos; ++at)
    text.replace(at, 5, "&");
  return text;
}

vantel::Html_options fragment() {
  vantel::Html_options options;
  options.page = false;
  return options;
}

TEST(Html, PageMatchesItsSnapshot) {
  const std::string path = "html/samples.html";
  const std::string got = html_of(sample_reports(), {});
  if (const char* update = std::getenv("VANTEL_UPDATE_SNAPSHOTS"); update && *update == '1')
    std::ofstream(path, std::ios::binary) << got;
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file.is_open()) << path;
  EXPECT_EQ(got, std::string(std::istreambuf_iterator<char>(file), {}));
}

// Without its markup, each block is the terminal's drawing, byte for byte.
TEST(Html, TextIsTheTerminalDrawing) {
  for (const vantel::Report& report : sample_reports()) {
    const std::string html = html_of({report}, fragment());
    EXPECT_EQ(text_of(html), vantel::to_string(report, test::html_layout()) + "\n")
        << report.message;
  }
}

TEST(Html, Markup) {
  struct Case {
    const char* what;
    vantel::Html_options options;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  };
  vantel::Html_options prefixed = fragment();
  prefixed.class_prefix = "my-";
  vantel::Html_options plain;
  plain.styles = {};
  plain.css = ".vantel-error{color:purple}";
  const std::vector<Case> cases = {
      {"escaped text, links, cells",
       fragment(),
       {"here &lt;&amp;&gt; <a href=\"https://example.org/h1\">https://example.org/h1</a>",
        "<span class=\"vantel-w2\">\xE4\xB8\x96</span>",
        "<span class=\"vantel-w1\">e\xCC\x81</span>",
        "<span class=\"vantel-escaped\">&lt;0x1B&gt;</span>",
        "<span class=\"vantel-primary vantel-error\">^</span>",
        "<span class=\"vantel-severity vantel-error\">error[H1]</span>"},
       {"<style", "<!DOCTYPE", "\x1B", "<&>"}},
      {"class prefix", prefixed, {"class=\"my-report\"", "class=\"my-w2\""}, {"vantel-"}},
      {"page with the theme",
       {},
       {"<!DOCTYPE html>", "default-src 'none'", ".vantel-error{font-weight:bold;color:#c01c28;}",
        ".vantel-w2{width:2ch;}"},
       {"<script", "src=", "<link", "url("}},
      {"page without colours, host's rules last",
       plain,
       {".vantel-error{color:purple}\n</style>"},
       {"color:#", "font-weight"}},
  };
  for (const Case& c : cases) {
    const std::string html = html_of(sample_reports(), c.options);
    for (const std::string& s : c.present)
      EXPECT_NE(html.find(s), std::string::npos) << c.what << ": " << s;
    for (const std::string& s : c.absent)
      EXPECT_EQ(html.find(s), std::string::npos) << c.what << ": " << s;
  }
}

TEST(Html, FailureWritesNothing) {
  vantel::Layout bad;
  bad.tab_width = 0;
  std::ostringstream out;
  vantel::Error error;
  vantel::write_html(out, sample_reports(), bad, {}, error);
  EXPECT_TRUE(error);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
