// SPDX-License-Identifier: MIT
// A linter that checks several files from a pool of threads, all reporting
// through one diagnostics engine. The engine sorts what the threads found by
// file and place, so the output is the same on every run, however the
// threads were scheduled.
#include <vantel/vantel.hpp>

#include <atomic>
#include <cstdint>
#include <iostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct File {
  const char* name;
  const char* text;
};

const std::vector<File> files = {
    {"parse.calc", "let total = 0 \nprint \"sum of all\n"},
    {"main.calc", "let width = 12\nlet height = 7\nprint width * height\n"},
    {"util.calc", "let\tgap = 2\nprint \"gap\" \n"},
};

// One warning per trailing blank or tab, one error per line whose quotes do
// not pair up.
void lint(const vantel::Source& source, std::string_view text, vantel::Diagnostics& diagnostics) {
  std::int64_t line_start = 0;
  while (line_start < static_cast<std::int64_t>(text.size())) {
    std::size_t end = text.find('\n', static_cast<std::size_t>(line_start));
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(static_cast<std::size_t>(line_start),
                                              end - static_cast<std::size_t>(line_start));
    const auto report = [&](vantel::Severity severity, const char* code, std::string message,
                            std::size_t from, std::size_t to, std::string label) {
      vantel::Report r;
      r.severity = severity;
      r.code = code;
      r.message = std::move(message);
      r.labels.push_back(vantel::Label::primary(
          source,
          vantel::Location::of_offsets(line_start + static_cast<std::int64_t>(from),
                                       line_start + static_cast<std::int64_t>(to)),
          std::move(label)));
      diagnostics.report(std::move(r));
    };
    if (!line.empty() && line.back() == ' ')
      report(vantel::Severity::Warning, "W1", "trailing blank", line.size() - 1, line.size(),
             "remove it");
    if (const std::size_t tab = line.find('\t'); tab != std::string_view::npos)
      report(vantel::Severity::Warning, "W2", "tab inside a line", tab, tab + 1, "use a blank");
    std::size_t quotes = 0;
    for (char c : line) quotes += c == '"' ? 1 : 0;
    if (quotes % 2 != 0)
      report(vantel::Severity::Error, "E1", "unterminated string", line.rfind('"'), line.size(),
             "no closing quote on this line");
    line_start = static_cast<std::int64_t>(end) + 1;
  }
}

}  // namespace

int main() {
  vantel::Sources sources;
  vantel::Diagnostics_options options;
  options.order = vantel::Diagnostics_order::Sorted;
  vantel::Diagnostics diagnostics(std::cout, sources, options);

  std::atomic<std::size_t> next{0};
  std::vector<std::thread> pool;
  for (int t = 0; t < 3; ++t)
    pool.emplace_back([&] {
      for (std::size_t k; (k = next++) < files.size();)
        lint(sources.add_view(files[k].name, files[k].text), files[k].text, diagnostics);
    });
  for (std::thread& thread : pool) thread.join();
  return diagnostics.finish();
}
