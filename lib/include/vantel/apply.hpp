// SPDX-License-Identifier: MIT
// Applying suggested fixes: the patched text of an input, or a unified diff
// of every input the fixes touch, for `git apply` or `patch -p1`.
#pragma once

#include <vantel/error.hpp>
#include <vantel/fix.hpp>
#include <vantel/input.hpp>
#include <vantel/source.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace vantel {

/// The text of `input` after every edit of `fixes` that is in it (an edit is
/// in it when its source's input is the same as `input`, or another input of
/// the same regular file; other inputs are opened to tell), all applied as one
/// change: every location refers to the text before any fix. Reads the
/// whole input. Throws std::invalid_argument naming the fix when two edits
/// overlap (within a fix or across two, two insertions at one place too) or
/// an edit's place is reversed or unknown, std::out_of_range for an edit
/// outside the input, and what reading the input throws.
[[nodiscard]] std::string apply(const Input& input, const std::vector<Fix>& fixes);
/// apply of the source's input.
[[nodiscard]] std::string apply(const Source& source, const std::vector<Fix>& fixes);
/// apply without exceptions: the patched text, or an empty one and `error`.
[[nodiscard]] std::string apply(const Input& input, const std::vector<Fix>& fixes,
                                Error& error) noexcept;
/// apply of the source's input without exceptions.
[[nodiscard]] std::string apply(const Source& source, const std::vector<Fix>& fixes,
                                Error& error) noexcept;

/// A unified diff of what `fixes` do, applied as one change: for each input
/// in the order its first edit comes, `--- a/NAME` and `+++ b/NAME` (NAME
/// being the source's shown name, which should be a path relative to where
/// the diff is applied), then hunks with three lines of context. Reads only
/// the lines the edits touch and their context. Inputs of one regular file
/// are one input. A name that holds a blank is followed by a tab; one with
/// a control, a byte past ASCII, a quote, a backslash or a final blank is
/// C-quoted ("a/tab\there"). Fails as apply does, and with
/// std::invalid_argument for a source without a name or one input edited
/// under two names.
[[nodiscard]] std::string unified_diff(const std::vector<Fix>& fixes);
/// unified_diff without exceptions: the diff, or an empty one and `error`.
[[nodiscard]] std::string unified_diff(const std::vector<Fix>& fixes, Error& error) noexcept;
/// unified_diff written to `out` as it is made: memory stays small whatever
/// the length of the lines, which are read a piece at a time. Every check
/// is made before the first byte is written; only a failure to read a line
/// (an input that shrank since its lines were counted) or to write (also
/// std::ios_base::failure) can leave part of the diff written.
void unified_diff(const std::vector<Fix>& fixes, std::ostream& out);
/// unified_diff to `out` without exceptions.
void unified_diff(const std::vector<Fix>& fixes, std::ostream& out, Error& error) noexcept;

}  // namespace vantel
