// SPDX-License-Identifier: MIT
#include "fix/changed_lines.hpp"
#include "fix/diff_name.hpp"
#include "fix/fix_inputs.hpp"
#include "fix/placed_edit.hpp"
#include "input/opening.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"

#include <vantel/apply.hpp>

#include <algorithm>
#include <deque>
#include <functional>
#include <ios>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel {
namespace detail {
namespace {

constexpr std::int64_t context = 3;

using Put = std::function<void(std::string_view)>;

// One row of a hunk: its sign and the line.
struct Row {
  char sign = ' ';
  const Spliced_line* line = nullptr;
};

// What a file's diff writes: its header and its hunks' heads, and each
// row, whose bytes are read only as they are written.
struct File_plan {
  Raw_cursor* cursor = nullptr;
  std::string head;
  std::vector<std::pair<std::string, std::vector<Row>>> hunks;
  std::vector<Changed_lines> changes;
  std::deque<Spliced_line> context;  // the context rows' lines, which rows point to
};

// Unchanged old lines [from, to) as context rows; how many there were.
std::int64_t add_context(File_plan& plan, std::vector<Row>& rows, std::int64_t from,
                         std::int64_t to) {
  std::int64_t n = from;
  for (Spliced_line line; n < to && numbered_line(*plan.cursor, n, line); ++n) {
    plan.context.push_back(std::move(line));
    rows.push_back({' ', &plan.context.back()});
  }
  return n - from;
}

// "-a,b" or "+a,b", an empty range counted from the line before it.
std::string range(char sign, std::int64_t start, std::int64_t count) {
  return sign + std::to_string(count == 0 ? start - 1 : start) + "," + std::to_string(count);
}

// The hunk of changes [first, last], with their context.
void plan_hunk(File_plan& plan, std::size_t first, std::size_t last) {
  const std::vector<Changed_lines>& changes = plan.changes;
  const Changed_lines& head = changes[first];
  const std::int64_t before = std::min(context, head.old_line - 1);
  std::vector<Row> rows;
  std::int64_t old_count = add_context(plan, rows, head.old_line - before, head.old_line);
  std::int64_t new_count = old_count;
  for (std::size_t k = first; k <= last; ++k) {
    const Changed_lines& c = changes[k];
    for (const Spliced_line& line : c.removed) rows.push_back({'-', &line});
    for (const Spliced_line& line : c.added) rows.push_back({'+', &line});
    old_count += static_cast<std::int64_t>(c.removed.size());
    new_count += static_cast<std::int64_t>(c.added.size());
    const std::int64_t after = c.old_line + static_cast<std::int64_t>(c.removed.size());
    const std::int64_t until = k < last ? changes[k + 1].old_line : after + context;
    const std::int64_t shown = add_context(plan, rows, after, until);
    old_count += shown;
    new_count += shown;
  }
  plan.hunks.emplace_back("@@ " + range('-', head.old_line - before, old_count) + " " +
                              range('+', head.new_line - before, new_count) + " @@\n",
                          std::move(rows));
}

void plan_file(File_plan& plan, const Edits_of_input& edits) {
  plan.changes = changed_lines(*plan.cursor, edits);
  if (plan.changes.empty()) return;
  const std::string& name = edits.source->name;
  plan.head = "--- " + diff_name("a/", name) + "\n+++ " + diff_name("b/", name) + "\n";
  const std::vector<Changed_lines>& changes = plan.changes;
  for (std::size_t first = 0; first < changes.size();) {
    // Changes whose contexts meet share a hunk.
    std::size_t last = first;
    while (last + 1 < changes.size() &&
           changes[last + 1].old_line - (changes[last].old_line +
                                         static_cast<std::int64_t>(changes[last].removed.size())) <=
               2 * context)
      ++last;
    plan_hunk(plan, first, last);
    first = last + 1;
  }
}

void put_file(const File_plan& plan, const Put& put) {
  put(plan.head);
  for (const auto& [head, rows] : plan.hunks) {
    put(head);
    for (const Row& row : rows) {
      put(std::string_view(&row.sign, 1));
      read_spliced(*plan.cursor, *row.line, put);
      if (!row.line->ended) put("\n\\ No newline at end of file\n");
    }
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

// Every edit is checked and every hunk planned before `put` sees a byte;
// the lines are then read a piece at a time as they are written.
void write_diff(const std::vector<Fix>& fixes, const Put& put) {
  for (const Fix& fix : fixes)
    for (const Edit& edit : fix.edits)
      if (edit.source.name.empty())
        throw std::invalid_argument("vantel::unified_diff: an edit's source has no name");
  Fix_inputs inputs(fixes, nullptr);
  const std::vector<Edits_of_input> placed = place_edits(fixes, inputs.cursors());
  check_one_name(fixes, inputs);
  std::vector<File_plan> plans(placed.size());
  for (std::size_t k = 0; k < placed.size(); ++k) {
    plans[k].cursor = inputs.cursor_of(placed[k].source->input);
    plan_file(plans[k], placed[k]);
  }
  for (const File_plan& plan : plans)
    if (!plan.changes.empty()) put_file(plan, put);
  inputs.close();
}

}  // namespace
}  // namespace detail

std::string unified_diff(const std::vector<Fix>& fixes) {
  std::string out;
  detail::write_diff(fixes, [&](std::string_view bytes) { out.append(bytes); });
  return out;
}

void unified_diff(const std::vector<Fix>& fixes, std::ostream& out) {
  detail::write_diff(fixes, [&](std::string_view bytes) {
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  });
  if (!out) throw std::ios_base::failure("vantel::unified_diff: writing the diff failed");
}

std::string unified_diff(const std::vector<Fix>& fixes, Error& error) noexcept {
  std::string out;
  detail::capture(error, [&] { out = unified_diff(fixes); });
  return out;
}

void unified_diff(const std::vector<Fix>& fixes, std::ostream& out, Error& error) noexcept {
  detail::capture(error, [&] { unified_diff(fixes, out); });
}

}  // namespace vantel
