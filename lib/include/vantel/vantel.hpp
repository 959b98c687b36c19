// SPDX-License-Identifier: MIT
// Vantel: quotes a source text around locations and highlights the located
// bytes.
//
//   3 | size = max + 10
//             ^^^
//
// Build an Input (where the text comes from), name places in it with
// Positions, and print a quote with pp on a Formatter. Offsets, lines and
// columns count bytes, unless a Column_unit says how a column counts; lines
// are numbered from 1. A Layout lays quotes and reports out in terminal
// columns instead, and Styles colour them.
//
// Failures are exceptions of standard types, whose messages name the input
// and the position: std::system_error for a file that cannot be opened or
// read, std::out_of_range for a line outside the input, std::overflow_error
// for position arithmetic that does not fit in std::int64_t,
// std::invalid_argument for an Input or Position that was moved from, a
// Layout out of range, or a tab width outside 1 to 64. Whatever a caller's
// callable throws reaches the caller unchanged. Every call that can fail has
// a noexcept twin that takes a vantel::Error& last, for hosts built without
// exceptions.
//
// The library starts no threads and keeps no global state. Inputs,
// positions, line tables and reports may be used by any number of threads at
// once (input.hpp says how quotes through one input take turns); a
// Formatter, and an Error, belong to one thread at a time.
#pragma once

// The library's surface: where a text comes from (input), places in it
// (position), how quotes and reports are laid out (layout), printing a quote
// (pp), diagnostic reports (report), and styling both (styles,
// highlight_tags).
#include <vantel/apply.hpp>
#include <vantel/highlight_tags.hpp>
#include <vantel/input.hpp>
#include <vantel/layout.hpp>
#include <vantel/lsp.hpp>
#include <vantel/one_line.hpp>
#include <vantel/position.hpp>
#include <vantel/pp.hpp>
#include <vantel/report.hpp>
#include <vantel/sarif.hpp>
#include <vantel/styles.hpp>

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
