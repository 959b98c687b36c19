// SPDX-License-Identifier: MIT
// Reports as LSP 3.17 Diagnostic objects, for language servers.
#pragma once

#include <vantel/error.hpp>
#include <vantel/report.hpp>

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace vantel {

/// The position encoding a client and a server agreed on.
enum class Lsp_encoding {
  Utf8,   ///< "utf-8": bytes
  Utf16,  ///< "utf-16": UTF-16 code units, the protocol's default
  Utf32   ///< "utf-32": code points
};

/// What to_lsp_json writes beyond the report.
struct Lsp_options {
  /// The unit of every `character`.
  Lsp_encoding encoding = Lsp_encoding::Utf16;
  /// `source`: the tool's name; left out when empty.
  std::string source;
  /// An absolute URI ("file:///src/") that shown names are resolved
  /// against; empty to name a file input by the file URI of its absolute
  /// path, and any other input by its shown name. Checked as
  /// Sarif_options::base_uri is, by the calls that write.
  std::string base_uri;
  /// `codeDescription.href` of each code that has one: absolute URIs, or
  /// the calls that write throw std::invalid_argument.
  std::map<std::string, std::string> code_urls;
};

/// The Diagnostic objects of `report`, as a JSON array indented by two
/// spaces: one per primary label, in order, for the document of that
/// label's source (named in `data.uri`, as in relatedInformation). Lines and
/// characters are 0-based; a character counts every character of its line
/// but the line feed and a carriage return before it. `severity` is 1 for
/// errors, 2 warnings, 3 notes and a host's word, 4 help; `message` is the
/// report's, the label's own on a line after it, then each note as a line
/// "kind: text". `relatedInformation` holds the secondary labels, then the
/// children at every depth ("severity: message", a child without a label
/// at the diagnostic's range). `data` holds `uri` and, when the report has
/// fixes, `fixes`: [{"title", "kind": "quickfix", "isPreferred" (for
/// machine-applicable ones), "applicability", "edit": a WorkspaceEdit
/// {"changes": {uri: [TextEdit...]}}}], what a code action carries.
/// `tags` holds the report's tags, each once (Unnecessary 1, Deprecated 2),
/// when it has any. Text
/// that is not UTF-8 is written with U+FFFD for each byte that is not part
/// of a well-formed sequence. Throws as pp_report resolving the labels does.
[[nodiscard]] std::string to_lsp_json(const Report& report, const Lsp_options& options = {});

/// to_lsp_json, reporting a failure in `error` instead of throwing; empty
/// then.
[[nodiscard]] std::string to_lsp_json(const Report& report, const Lsp_options& options,
                                      Error& error) noexcept;

/// The Diagnostic objects of every report in `reports`, in order, in one
/// array: to_lsp_json of each, joined.
[[nodiscard]] std::string to_lsp_json(const std::vector<Report>& reports,
                                      const Lsp_options& options = {});

/// to_lsp_json of `reports`, reporting a failure in `error` instead of
/// throwing; empty then.
[[nodiscard]] std::string to_lsp_json(const std::vector<Report>& reports,
                                      const Lsp_options& options, Error& error) noexcept;

/// Writes to_lsp_json(reports, options) to `out` as it goes, in pieces of
/// about 64 KiB, so that many reports never make one large string. Throws
/// as to_lsp_json does, leaving in `out` the diagnostics of the reports
/// before the one that failed, the array unclosed; throws
/// std::ios_base::failure when `out` fails.
void write_lsp_json(std::ostream& out, const std::vector<Report>& reports,
                    const Lsp_options& options = {});

/// write_lsp_json, reporting a failure in `error` instead of throwing.
void write_lsp_json(std::ostream& out, const std::vector<Report>& reports,
                    const Lsp_options& options, Error& error) noexcept;

}  // namespace vantel
