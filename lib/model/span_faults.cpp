// SPDX-License-Identifier: MIT
#include "model/span_faults.hpp"

#include "input/line_reader.hpp"
#include "model/openings.hpp"
#include "support/message_text.hpp"

#include <stdexcept>
#include <string_view>

namespace vantel::detail {

std::optional<std::int64_t> size_if_past(Raw_cursor& cursor, std::int64_t offset) {
  // Within what the table has counted: no byte need be read again, which
  // would keep a stale copy of an input that shrinks later.
  if (offset <= 0 || offset <= cursor.counted_size()) return std::nullopt;
  Line_reader reader(cursor);
  Read_line line;
  if (reader.read(offset - 1, line, 1) && (!line.text.empty() || line.ended)) return std::nullopt;
  // The last line holds the end: its start and its bytes give the length.
  const std::int64_t start = offset - cursor.line_col_of_offset(offset).second;
  reader.read(start, line);
  return start + static_cast<std::int64_t>(line.text.size()) + (line.ended ? 1 : 0);
}

namespace {

std::string fix_lead(const Fix& fix, std::size_t number) {
  std::string lead = "fix " + std::to_string(number);
  if (!fix.message.empty()) lead += " (\"" + message_text(fix.message) + "\")";
  return lead;
}

}  // namespace

std::optional<Note> past_end_note(Raw_cursor& cursor, const Label& label, std::size_t k,
                                  const Span& span) {
  const std::optional<std::int64_t> size = size_if_past(cursor, span.end);
  if (!size) return std::nullopt;
  return past_end_note(label, k, span, *size);
}

Note past_end_note(const Label& label, std::size_t k, const Span& span, std::int64_t size) {
  std::string text = "label " + std::to_string(k + 1);
  if (!label.message.empty()) text += " (\"" + message_text(label.message) + "\")";
  text += ": bytes " + std::to_string(span.start) + ".." + std::to_string(span.end) +
          " reach past the end of " + message_text(label.source.name) + " (" +
          std::to_string(size) + " bytes), placed at its end";
  return Note{"note", std::move(text)};
}

std::vector<Edits_of_input> checked_fix(const Fix& fix, std::size_t number,
                                        const Cursor_of& cursor_of, std::optional<Note>& why) {
  why.reset();
  try {
    std::vector<Edits_of_input> inputs = place_fix(fix, number, cursor_of);
    for (const Edits_of_input& in : inputs) {
      Raw_cursor* cursor = cursor_of(in.source->input);
      // Sorted by start: the edit that reaches furthest decides.
      std::int64_t reach = 0;
      for (const Placed_edit& e : in.edits) reach = std::max(reach, e.end);
      if (const std::optional<std::int64_t> size = size_if_past(*cursor, reach))
        check_within(in, *size);
    }
    return inputs;
  } catch (const std::logic_error& e) {
    // Reversed, overlapping, past the end, or a position that names no
    // place: the fix alone is lost, never the report.
    std::string text = e.what();
    // Name the fix as the failures of placing it do, its message included.
    const std::string lead = fix_lead(fix, number);
    const std::string bare = "fix " + std::to_string(number) + ":";
    if (text.compare(0, bare.size(), bare) == 0)
      text = lead + text.substr(bare.size() - 1);
    else if (text.compare(0, lead.size(), lead) != 0)
      text = lead + ": " + text;
    why = Note{"note", "left out, as it cannot be applied: " + text};
    return {};
  }
}

namespace {

Span_faults faults_of(const Report& report, bool labels) {
  Openings openings;
  if (labels)
    for (const Label& label : report.labels) openings.add(label.source.input);
  for (const Fix& fix : report.fixes)
    for (const Edit& edit : fix.edits) openings.add(edit.source.input);
  openings.take();
  Span_faults faults;
  {
    for (std::size_t k = 0; labels && k < report.labels.size(); ++k) {
      const Label& label = report.labels[k];
      Raw_cursor& cursor = *openings.cursor(label.source.input);
      if (const std::optional<Span> span = span_of(cursor, label.location))
        if (std::optional<Note> note = past_end_note(cursor, label, k, *span))
          faults.notes.push_back(std::move(*note));
    }
    const Cursor_of cursor_of = [&](const Input& input) { return openings.cursor(input); };
    for (std::size_t k = 0; k < report.fixes.size(); ++k) {
      std::optional<Note> why;
      (void)checked_fix(report.fixes[k], k + 1, cursor_of, why);
      faults.fix_applies.push_back(!why);
      if (why) faults.notes.push_back(std::move(*why));
    }
  }
  openings.close();  // a failure above closes them as it unwinds
  return faults;
}

}  // namespace

Span_faults span_faults(const Report& report) {
  return faults_of(report, true);
}

Span_faults fix_faults(const Report& report) {
  if (report.fixes.empty()) return {};
  return faults_of(report, false);
}

}  // namespace vantel::detail
