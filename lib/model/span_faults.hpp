// SPDX-License-Identifier: MIT
// Spans that cannot be drawn or applied as given, said as notes: a report
// is never lost for one bad label or one bad fix.
#pragma once

#include "fix/placed_edit.hpp"
#include "input/raw_cursor.hpp"
#include "model/label_span.hpp"

#include <vantel/report.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantel::detail {

// The input's length when `offset` lies past its end; none when it does not.
[[nodiscard]] std::optional<std::int64_t> size_if_past(Raw_cursor& cursor, std::int64_t offset);

// The note for label `k` (from 0) of a list whose `span` reaches past the
// end of its input, `size` bytes long.
[[nodiscard]] Note past_end_note(const Label& label, std::size_t k, const Span& span,
                                 std::int64_t size);

// The same when `span` reaches past the end of its input; none otherwise.
[[nodiscard]] std::optional<Note> past_end_note(Raw_cursor& cursor, const Label& label,
                                                std::size_t k, const Span& span);

// The edits of fix `number` (from 1), placed as place_fix places them and
// checked to stay within their inputs; when they cannot be applied, none,
// and `why` holds the note that says so.
[[nodiscard]] std::vector<Edits_of_input> checked_fix(const Fix& fix, std::size_t number,
                                                      const Cursor_of& cursor_of,
                                                      std::optional<Note>& why);

// What the exported forms say of one report's spans, its children left out:
// the notes, and for each fix whether it is written.
struct Span_faults {
  std::vector<Note> notes;
  std::vector<bool> fix_applies;
};

// Opens the report's inputs, checks its labels and fixes and closes them.
[[nodiscard]] Span_faults span_faults(const Report& report);

// The same for the fixes alone, for a writer that has checked the labels as
// it read them; opens nothing when the report has no fix.
[[nodiscard]] Span_faults fix_faults(const Report& report);

}  // namespace vantel::detail
