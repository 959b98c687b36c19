// SPDX-License-Identifier: MIT
#include "fix/placed_edit.hpp"

#include "position/resolve.hpp"
#include "support/message_text.hpp"
#include "support/placed.hpp"
#include "support/stable_sort.hpp"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace vantel::detail {

namespace {

std::string bytes_of(const Placed_edit& e) {
  return std::to_string(e.start) + ".." + std::to_string(e.end);
}

// A fix and its number among those the caller gave.
struct Numbered {
  const Fix* fix;
  std::size_t number;
};
using Numbered_fixes = std::vector<Numbered>;

// How a failure names fix `number`: `fix 1 ("insert a semicolon")`.
std::string fix_name(const Numbered_fixes& fixes, std::size_t number) {
  std::string name = "fix " + std::to_string(number);
  for (const Numbered& n : fixes)
    if (n.number == number && !n.fix->message.empty())
      name += " (\"" + message_text(n.fix->message) + "\")";
  return name;
}

[[noreturn]] void overlap(const Numbered_fixes& fixes, const Edits_of_input& in,
                          const Placed_edit& a, const Placed_edit& b) {
  const Placed_edit& first = std::tie(a.fix, a.edit) < std::tie(b.fix, b.edit) ? a : b;
  const Placed_edit& second = &first == &a ? b : a;
  std::string what;
  if (first.fix == second.fix)
    what = fix_name(fixes, first.fix) + ": edits " + std::to_string(first.edit) + " and " +
           std::to_string(second.edit);
  else
    what = fix_name(fixes, first.fix) + " and " + fix_name(fixes, second.fix) + ": edit " +
           std::to_string(first.edit) + " and edit " + std::to_string(second.edit);
  throw Placed<std::invalid_argument>(Failure_place(in.source->name, 0),
                                      what + " overlap in " + message_text(in.source->name) +
                                          " (bytes " + bytes_of(first) + " and " +
                                          bytes_of(second) + ")");
}

// Sorts the edits and fails on the first two that overlap: one inside
// another's bytes, or two insertions at one place.
void sort_and_check(const Numbered_fixes& fixes, Edits_of_input& in) {
  std::vector<Placed_edit>& edits = in.edits;
  stable_sort_range(edits.begin(), edits.end(), [](const Placed_edit& a, const Placed_edit& b) {
    return std::tie(a.start, a.end) < std::tie(b.start, b.end);
  });
  const Placed_edit* reach = nullptr;  // the edit that reaches furthest so far
  for (std::size_t k = 0; k < edits.size(); ++k) {
    const Placed_edit& e = edits[k];
    if (reach != nullptr && (e.start < reach->end || (e.start == reach->start && e.end == e.start &&
                                                      reach->end == e.start)))
      overlap(fixes, in, *reach, e);
    if (reach == nullptr || e.end >= reach->end) reach = &edits[k];
  }
}

// Edit `edit` (from 1) of the fix at `fix` in `fixes`.
Placed_edit place(const Numbered_fixes& fixes, std::size_t fix, std::size_t edit,
                  Raw_cursor& cursor) {
  const Edit& e = fixes[fix].fix->edits[edit - 1];
  const std::size_t number = fixes[fix].number;
  // End first, then start, as labels resolve them.
  const std::int64_t end = to_offset_raw(cursor, e.location.second);
  const std::int64_t start = to_offset_raw(cursor, e.location.first);
  const std::string where = fix_name(fixes, number) + ": edit " + std::to_string(edit) + " in " +
                            message_text(e.source.name) + " (bytes " + std::to_string(start) +
                            ".." + std::to_string(end) + ")";
  const Failure_place in(e.source.name, 0);
  if (end < start) throw Placed<std::invalid_argument>(in, where + ": ends before it starts");
  if (start == -1)
    throw Placed<std::invalid_argument>(in, where + ": a position without an offset");
  if (start < 0) throw Placed<std::out_of_range>(in, where + ": before the start of the input");
  return {number, edit, start, end, e.replacement};
}

std::vector<Edits_of_input> place_all(const Numbered_fixes& fixes, const Cursor_of& cursor_of) {
  std::vector<Edits_of_input> inputs;
  std::vector<Raw_cursor*> cursors;  // of each of inputs: one per text
  for (std::size_t f = 0; f < fixes.size(); ++f) {
    for (std::size_t k = 0; k < fixes[f].fix->edits.size(); ++k) {
      const Source& source = fixes[f].fix->edits[k].source;
      Raw_cursor* cursor = cursor_of(source.input);
      if (cursor == nullptr) continue;
      const auto at = static_cast<std::size_t>(std::find(cursors.begin(), cursors.end(), cursor) -
                                               cursors.begin());
      if (at == cursors.size()) {
        cursors.push_back(cursor);
        inputs.push_back({&source, {}});
      }
      inputs[at].edits.push_back(place(fixes, f, k + 1, *cursor));
    }
  }
  return inputs;
}

}  // namespace

std::vector<Edits_of_input> place_edits(const std::vector<Fix>& fixes, const Cursor_of& cursor_of) {
  Numbered_fixes all;
  all.reserve(fixes.size());
  for (const Fix& fix : fixes) all.push_back({&fix, all.size() + 1});
  std::vector<Edits_of_input> inputs = place_all(all, cursor_of);
  for (Edits_of_input& in : inputs) sort_and_check(all, in);
  return inputs;
}

std::vector<Edits_of_input> place_fix(const Fix& fix, std::size_t number,
                                      const Cursor_of& cursor_of) {
  const Numbered_fixes one{{&fix, number}};
  std::vector<Edits_of_input> inputs = place_all(one, cursor_of);
  for (Edits_of_input& in : inputs) sort_and_check(one, in);
  return inputs;
}

void check_within(const Edits_of_input& edits, std::int64_t size) {
  for (const Placed_edit& e : edits.edits)
    if (e.end > size)
      throw Placed<std::out_of_range>(
          Failure_place(edits.source->name, 0),
          "fix " + std::to_string(e.fix) + ": edit " + std::to_string(e.edit) + " in " +
              message_text(edits.source->name) + " (bytes " + bytes_of(e) +
              ") reaches past the end of the input (" + std::to_string(size) + " bytes)");
}

}  // namespace vantel::detail
