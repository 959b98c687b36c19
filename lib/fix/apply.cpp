// SPDX-License-Identifier: MIT
#include "fix/fix_inputs.hpp"
#include "fix/placed_edit.hpp"
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "support/capture.hpp"

#include <vantel/apply.hpp>

#include <string>

namespace vantel {

std::string apply(const Input& input, const std::vector<Fix>& fixes) {
  detail::Fix_inputs inputs(fixes, &input);
  detail::Raw_cursor& cursor = *inputs.cursor_of(input);
  // Edits of another input of the same file are this text's too.
  const std::vector<detail::Edits_of_input> placed =
      detail::place_edits(fixes, [&](const Input& in) {
        detail::Raw_cursor* of = inputs.cursor_of(in);
        return of == &cursor ? of : nullptr;
      });
  std::string text;
  detail::Line_reader reader(cursor);
  detail::Read_line line;
  reader.seek(0);
  while (reader.next(line)) {
    text += line.text;
    if (line.ended) text += '\n';
  }
  std::string patched;
  if (!placed.empty()) {
    const detail::Edits_of_input& edits = placed.front();
    detail::check_within(edits, static_cast<std::int64_t>(text.size()));
    std::size_t at = 0;
    for (const detail::Placed_edit& e : edits.edits) {
      patched.append(text, at, static_cast<std::size_t>(e.start) - at);
      patched += e.text;
      at = static_cast<std::size_t>(e.end);
    }
    patched.append(text, at, std::string::npos);
  } else {
    patched = std::move(text);
  }
  inputs.close();
  return patched;
}

std::string apply(const Source& source, const std::vector<Fix>& fixes) {
  return apply(source.input, fixes);
}

std::string apply(const Input& input, const std::vector<Fix>& fixes, Error& error) noexcept {
  std::string patched;
  detail::capture(error, [&] { patched = apply(input, fixes); });
  return patched;
}

std::string apply(const Source& source, const std::vector<Fix>& fixes, Error& error) noexcept {
  return apply(source.input, fixes, error);
}

}  // namespace vantel
