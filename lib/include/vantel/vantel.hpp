// SPDX-License-Identifier: MIT
// Vantel: quotes a source text around locations and highlights the located
// bytes, and draws diagnostic reports of them.
//
//   3 | size = max + 10
//             ^^^
//
// Four things to build:
//   Input      where the text is: Input::file(path), Input::string(text),
//              a byte buffer, a std::istream, or callables of your own.
//   Location   a stretch of it, from a start Position to an end one (end
//              excluded): Location::of_offsets(4, 7), or
//              Location::of_line_cols(3, 5, 3, 8); Positions also come from
//              your lexer's records and shifts of other positions.
//   Formatter  where it is written: Formatter f(std::cout).
//   Report     for a diagnostic: a severity, a message, Labels (an input, a
//              location, a message), notes, fixes and child reports.
//
// Three calls to make:
//   pp(input, f, {location})       prints the quote above;
//   pp_report(f, report)           draws the report, ` --> file:3:7` and all;
//   setup_tags(f, Styles::ansi())  colours both, once per formatter.
//
// A Layout, passed to either, lays them out in terminal cells within a width
// (Layout::report holds what only reports read); to_string gives either as a
// string; to_lsp_json, Sarif_log and write_one_line write reports as data,
// write_html as a web page.
// Offsets, lines and columns count bytes unless a Column_unit says how a
// column counts; lines are numbered from 1.
//
// Failures are exceptions of standard types, whose messages name the input
// and the position, and which carry both as a Failure_place: std::system_error
// for a file that cannot be opened or read, std::out_of_range for a line
// outside the input, std::overflow_error for position arithmetic that does
// not fit in std::int64_t, std::invalid_argument for an Input or Position
// that was moved from, a Layout out of range, or a tab width outside 1 to
// 64. Whatever a caller's callable throws reaches the caller unchanged. Every
// call that can fail has a noexcept twin that takes a vantel::Error& last,
// for hosts built without exceptions.
//
// The library starts no threads and keeps no global state. Inputs,
// positions, line tables and reports may be used by any number of threads at
// once (input.hpp says how quotes through one input take turns); a
// Formatter, and an Error, belong to one thread at a time.
#pragma once

// The library's surface: where a text comes from (input), places in it
// (position), how quotes and reports are laid out (layout), printing a quote
// (pp), diagnostic reports (report) and their fixes (apply), reports as data
// (lsp, one_line, sarif), and styling both (styles, highlight_tags).
#include <vantel/apply.hpp>
#include <vantel/diagnostics.hpp>
#include <vantel/highlight_tags.hpp>
#include <vantel/html.hpp>
#include <vantel/input.hpp>
#include <vantel/layout.hpp>
#include <vantel/lsp.hpp>
#include <vantel/one_line.hpp>
#include <vantel/position.hpp>
#include <vantel/pp.hpp>
#include <vantel/report.hpp>
#include <vantel/sarif.hpp>
#include <vantel/sarif_read.hpp>
#include <vantel/sources.hpp>
#include <vantel/styles.hpp>
#include <vantel/terminal.hpp>

// What those are built on, for convenience.
#include <vantel/column_unit.hpp>
#include <vantel/error.hpp>
#include <vantel/escaped_text.hpp>
#include <vantel/fix.hpp>
#include <vantel/formatter.hpp>
#include <vantel/lexing_position.hpp>
#include <vantel/line_table.hpp>
#include <vantel/read_result.hpp>
#include <vantel/severity.hpp>
#include <vantel/source.hpp>

/// \namespace vantel
/// Everything the library declares: inputs, positions, layouts, pp, reports,
/// styles and tags, and the formatter that quotes are printed through.
