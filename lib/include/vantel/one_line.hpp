// SPDX-License-Identifier: MIT
// Reports as the one-line format that editors and log annotators parse.
#pragma once

#include <vantel/error.hpp>
#include <vantel/report.hpp>

#include <iosfwd>
#include <string>

namespace vantel {

/// Writes `report` as lines `name:line:col: severity[code]: message`, with
/// 1-based lines and byte columns, as editors read them: one per primary
/// label (its own message after the report's, following ": "), then
/// `name:line:col: note: message` for each secondary label (the report's
/// message when it has none), for each note (at the report's place), and
/// then the children at every depth, each written the same way with its own
/// severity. A child without a located primary label is placed at its
/// report's place; a report without one has a first line
/// `severity[code]: message` alone. Line feeds and carriage returns in
/// messages, codes, severity words and names become spaces, so that each
/// diagnostic stays on its line; other
/// bytes are written as they are. Throws as pp_report resolving the labels
/// does, before writing anything, and std::ios_base::failure when the
/// stream fails.
void write_one_line(std::ostream& out, const Report& report);

/// write_one_line, reporting a failure in `error` instead of throwing.
void write_one_line(std::ostream& out, const Report& report, Error& error) noexcept;

/// The lines write_one_line writes.
[[nodiscard]] std::string to_one_line(const Report& report);

/// to_one_line, reporting a failure in `error` instead of throwing; empty
/// then.
[[nodiscard]] std::string to_one_line(const Report& report, Error& error) noexcept;

}  // namespace vantel
