// SPDX-License-Identifier: MIT
// Collecting the reports of a run, from any thread, and writing them once.
#pragma once

#include <vantel/lsp.hpp>
#include <vantel/report.hpp>
#include <vantel/sarif.hpp>
#include <vantel/severity.hpp>
#include <vantel/sources.hpp>
#include <vantel/terminal.hpp>

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantel {

/// How the reports of a run are written.
enum class Diagnostics_format {
  Drawn,     ///< as pp_report draws them, for a person
  One_line,  ///< as write_one_line writes them
  Sarif,     ///< one SARIF log of one run, written by finish()
  Lsp        ///< by finish(): a JSON array of {"uri", "diagnostics"}, one per file
};

/// In what order reports are written.
enum class Diagnostics_order {
  As_reported,  ///< as report() was called
  Sorted        ///< by finish(): by source name, then offset, then text
};

/// What a Diagnostics does with the reports it is given.
struct Diagnostics_options {
  Diagnostics_format format = Diagnostics_format::Drawn;     ///< how reports are written
  Diagnostics_order order = Diagnostics_order::As_reported;  ///< in what order
  /// Drawn: the layout, and the styles when `color` is set; none for
  /// terminal_for the output stream.
  std::optional<Terminal> terminal;
  /// Drawn and one-line: errors written before the rest is held back, with
  /// one final note saying how many more there were; 0 for no limit.
  std::size_t error_limit = 0;
  bool warnings_as_errors = false;                    ///< every warning becomes an error
  std::vector<std::string> warnings_as_errors_codes;  ///< those of these codes do
  std::vector<std::string> disabled_codes;            ///< reports of these codes are dropped
  Sarif_tool sarif_tool;                              ///< Sarif: the run's tool
  Sarif_options sarif;  ///< Sarif: columns, base URI; artifacts: the registry's when none
  Lsp_options lsp;      ///< Lsp: encoding, source, URIs
};

/// The piece between a host's checks and its output: counts reports by
/// severity, promotes and drops them as the options say, writes each
/// identical one once, and by finish() everything, in one order. report()
/// may be called from any number of threads; the output stream is written
/// under the engine's lock only, by report() and finish().
class Diagnostics {
 public:
  /// An engine writing to `out` (which must outlive it) the reports of
  /// `sources`' texts; the SARIF run lists every source as an artifact.
  Diagnostics(std::ostream& out, Sources sources, Diagnostics_options options = {});
  Diagnostics(const Diagnostics&) = delete;
  Diagnostics& operator=(const Diagnostics&) = delete;
  ~Diagnostics();

  /// Takes `report`: resolves and renders it in the calling thread, then
  /// counts and writes or keeps it. Throws as pp_report does (the engine
  /// unchanged), std::logic_error after finish().
  void report(Report report);
  /// How many reports of `level` were taken, after promotion, identical ones
  /// once, dropped codes not at all.
  [[nodiscard]] std::size_t count(Severity::Level level) const;
  /// Writes what is pending and flushes: 1 when any error was taken, else 0.
  /// Throws std::ios_base::failure when the stream fails. Later calls only
  /// give the status again.
  int finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantel
