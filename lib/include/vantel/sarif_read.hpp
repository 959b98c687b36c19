// SPDX-License-Identifier: MIT
// SARIF 2.1.0 logs of any tool read back into reports, to be drawn.
#pragma once

#include <vantel/error.hpp>
#include <vantel/report.hpp>
#include <vantel/source.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace vantel {

/// How read_sarif finds a log's files and which results it keeps.
struct Sarif_read_options {
  /// What a uriBaseId that the log leaves unresolved stands for (an absolute
  /// URI or a folder); it also resolves a relative URI that names no base.
  /// Empty: such URIs are read from the current folder.
  std::string base_uri;
  /// The levels kept: "error", "warning", "note" and "none"; empty keeps all.
  std::vector<std::string> levels;
  /// Inputs to read instead of files, each found by its name as the log's
  /// URIs spell it (as Sarif_options::artifacts writes them).
  std::vector<Source> artifacts;
};

/// The results of every run of the SARIF 2.1.0 log `log`, in order, as
/// reports: the rule id as the code (none when it is only the level's word),
/// the level as the severity, the message (or its rule's message string),
/// locations as primary labels and related locations as secondary ones,
/// fixes as fixes, the first thread flow of each code flow as the path, and
/// `properties.notes` as notes. Artifacts are found through their URIs,
/// uriBaseIds, originalUriBaseIds and `options.base_uri`; columns count as
/// the run's columnKind says (UTF-16 code units when it says nothing). A
/// result whose file cannot be read keeps its header and says where it was
/// in a note. Throws std::invalid_argument naming `log_name` and the member
/// (runs[0].results[2]...) when the log is not JSON or not SARIF.
[[nodiscard]] std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                                             const Sarif_read_options& options = {});
/// read_sarif reporting a failure in `error` instead of throwing; then no
/// report.
[[nodiscard]] std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                                             const Sarif_read_options& options,
                                             Error& error) noexcept;

}  // namespace vantel
