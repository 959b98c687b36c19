// SPDX-License-Identifier: MIT
#include "fix/changed_lines.hpp"
#include "fix/diff_name.hpp"
#include "fix/fix_inputs.hpp"
#include "fix/placed_edit.hpp"
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"

#include <vantel/apply.hpp>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel {
namespace detail {
namespace {

constexpr std::int64_t context = 3;

// One row of a hunk: its sign and the line, which keeps its line feed.
void put_line(std::string& out, char sign, const std::string& line) {
  out += sign;
  out += line;
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

// Unchanged old lines [from, to) as context rows; how many there were.
std::int64_t put_context(std::string& out, Raw_cursor& cursor, Line_reader& reader,
                         std::int64_t from, std::int64_t to) {
  std::string line;
  std::int64_t n = from;
  for (; n < to && read_numbered_line(cursor, reader, n, line); ++n) put_line(out, ' ', line);
  return n - from;
}

// "-a,b" or "+a,b", an empty range counted from the line before it.
std::string range(char sign, std::int64_t start, std::int64_t count) {
  return sign + std::to_string(count == 0 ? start - 1 : start) + "," + std::to_string(count);
}

// The hunk of changes [first, last], with their context.
void put_hunk(std::string& out, Raw_cursor& cursor, Line_reader& reader,
              const std::vector<Changed_lines>& changes, std::size_t first, std::size_t last) {
  const Changed_lines& head = changes[first];
  const std::int64_t before = std::min(context, head.old_line - 1);
  std::string body;
  std::int64_t old_count = put_context(body, cursor, reader, head.old_line - before, head.old_line);
  std::int64_t new_count = old_count;
  for (std::size_t k = first; k <= last; ++k) {
    const Changed_lines& c = changes[k];
    for (const std::string& line : c.removed) put_line(body, '-', line);
    for (const std::string& line : c.added) put_line(body, '+', line);
    old_count += static_cast<std::int64_t>(c.removed.size());
    new_count += static_cast<std::int64_t>(c.added.size());
    const std::int64_t after = c.old_line + static_cast<std::int64_t>(c.removed.size());
    const std::int64_t until = k < last ? changes[k + 1].old_line : after + context;
    const std::int64_t shown = put_context(body, cursor, reader, after, until);
    old_count += shown;
    new_count += shown;
  }
  out += "@@ " + range('-', head.old_line - before, old_count) + " " +
         range('+', head.new_line - before, new_count) + " @@\n";
  out += body;
}

void put_file(std::string& out, Raw_cursor& cursor, const Edits_of_input& edits) {
  std::vector<Changed_lines> changes = changed_lines(cursor, edits);
  changes.erase(std::remove_if(changes.begin(), changes.end(),
                               [](const Changed_lines& c) { return c.removed == c.added; }),
                changes.end());
  if (changes.empty()) return;
  const std::string& name = edits.source->name;
  out += "--- " + diff_name("a/", name) + "\n+++ " + diff_name("b/", name) + "\n";
  Line_reader reader(cursor);
  for (std::size_t first = 0; first < changes.size();) {
    // Changes whose contexts meet share a hunk.
    std::size_t last = first;
    while (last + 1 < changes.size() &&
           changes[last + 1].old_line - (changes[last].old_line +
                                         static_cast<std::int64_t>(changes[last].removed.size())) <=
               2 * context)
      ++last;
    put_hunk(out, cursor, reader, changes, first, last);
    first = last + 1;
  }
}

// Throws std::invalid_argument when one text is edited under two names:
// which one its diff should name would be a guess.
void check_one_name(const std::vector<Fix>& fixes, const Fix_inputs& inputs) {
  std::vector<std::pair<const Raw_cursor*, const std::string*>> names;
  for (const Fix& fix : fixes)
    for (const Edit& edit : fix.edits) {
      const Raw_cursor* cursor = inputs.cursor_of(edit.source.input);
      const auto known = std::find_if(names.begin(), names.end(),
                                      [&](const auto& n) { return n.first == cursor; });
      if (known == names.end())
        names.emplace_back(cursor, &edit.source.name);
      else if (*known->second != edit.source.name)
        throw std::invalid_argument("vantel::unified_diff: one text is edited as " +
                                    message_text(*known->second) + " and as " +
                                    message_text(edit.source.name));
    }
}

}  // namespace
}  // namespace detail

std::string unified_diff(const std::vector<Fix>& fixes) {
  for (const Fix& fix : fixes)
    for (const Edit& edit : fix.edits)
      if (edit.source.name.empty())
        throw std::invalid_argument("vantel::unified_diff: an edit's source has no name");
  detail::Fix_inputs inputs(fixes, nullptr);
  const std::vector<detail::Edits_of_input> placed = detail::place_edits(fixes, inputs.cursors());
  detail::check_one_name(fixes, inputs);
  std::string out;
  for (const detail::Edits_of_input& edits : placed)
    detail::put_file(out, *inputs.cursor_of(edits.source->input), edits);
  inputs.close();
  return out;
}

std::string unified_diff(const std::vector<Fix>& fixes, Error& error) noexcept {
  std::string out;
  detail::capture(error, [&] { out = unified_diff(fixes); });
  return out;
}

}  // namespace vantel
