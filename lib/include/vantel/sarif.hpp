// SPDX-License-Identifier: MIT
// Reports as a SARIF 2.1.0 log, for code-scanning services.
#pragma once

#include <vantel/error.hpp>
#include <vantel/report.hpp>
#include <vantel/sarif_run.hpp>

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace vantel {

/// What a code means, as a log's `tool.driver.rules` says it. Readers
/// require both descriptions and the help: an empty short description is
/// the message of the code's first result (its id when it has none), an
/// empty full one the short one, an empty help the full description. An
/// empty `help_uri` is left out. The rest is what code scanning ranks
/// alerts by, each left out when empty; Sarif_log's constructor throws
/// std::invalid_argument, naming the rule, for a value it does not take.
struct Sarif_rule {
  std::string id;                 ///< the reports' code
  std::string short_description;  ///< one line
  std::string full_description;   ///< a paragraph
  std::string help;               ///< how to address it
  std::string help_uri;           ///< where to read more
  /// `defaultConfiguration.level`: "error", "warning", "note" or "none".
  std::string default_level;
  /// `properties.tags` ("security", "correctness"...): the first 20 distinct
  /// ones are kept, as code scanning takes no more.
  std::vector<std::string> tags;
  /// `properties.precision`: "very-high", "high", "medium" or "low".
  std::string precision;
  /// `properties["problem.severity"]`: "error", "warning" or "recommendation".
  std::string problem_severity;
  /// `properties["security-severity"]`: a score from "0.0" to "10.0".
  std::string security_severity;
};

/// The tool that made the reports: the log's `tool.driver`.
struct Sarif_tool {
  std::string name;               ///< required by readers; "vantel" when empty
  std::string version;            ///< left out when empty
  std::string information_uri;    ///< left out when empty
  std::vector<Sarif_rule> rules;  ///< known codes; others are described by their first result
};

/// What a log's columns count: its `columnKind`, which is always written.
enum class Sarif_column_kind {
  Utf16_code_units,    ///< "utf16CodeUnits": what most readers assume
  Unicode_code_points  ///< "unicodeCodePoints"
};

/// How a log names and measures its artifacts.
struct Sarif_options {
  /// The unit of every column, `charOffset` and `charLength`.
  Sarif_column_kind column_kind = Sarif_column_kind::Utf16_code_units;
  /// An absolute URI ("file:///src/") that shown names are relative to,
  /// written as the base "SRCROOT" in `originalUriBaseIds`; empty to name a
  /// file input by the file URI of its absolute path. Given its final '/'
  /// when it lacks one; writing the log throws std::invalid_argument for a
  /// base that is not an absolute URI or holds a query or a fragment, and
  /// for a rule's `help_uri` that is not a URI.
  std::string base_uri;
  /// The run's files, listed in this order as its `artifacts`, named as
  /// results name them; empty for no list.
  std::vector<Source> artifacts{};
};

/// One run's reports, written as one SARIF 2.1.0 log. Each report is one
/// result:
///   - `ruleId` its code, or its severity's word when it has none (readers
///     require a rule); `level` "error",
///     "warning", "note" (for notes and help) or "none" (a host's word);
///   - `locations` its primary labels, `relatedLocations` its secondary
///     labels and then its children at every depth (a child without a label
///     at the result's place), each with its message and, for a child, its
///     depth as `properties.nestingLevel`; a label's own message is its
///     location's; the first 1,000 of each are kept;
///   - its tags as `properties.tags`;
///   - `fixes` its fixes, one `artifactChange` per source;
///   - its notes as `properties.notes`, "kind: text" each;
///   - `partialFingerprints["lineHash/v1"]`: a hash of the code, the
///     artifact, the message and the primary line's text without its
///     surrounding blanks, then ":" and the occurrence of that hash in the
///     log, so that it stays put when unrelated lines move the result.
/// Every region has its lines, columns (the end column is the one after its
/// last character), `charOffset`, `charLength` and, when it holds at most
/// 64 KiB, `snippet` (a longer one has none: a log's memory never follows the
/// length of the lines, which are read a piece at a time). A column
/// counts every character of its line but the line feed and a carriage
/// return before it; offsets count both. A file input is named by the file
/// URI of its absolute path, unless Sarif_options::base_uri is given; other
/// artifacts by their shown name (percent-encoded, absolute paths as file
/// URIs). A log keeps the first 25,000 results, and a notification of the
/// invocation says what it left out. Text that is not UTF-8 is written with
/// U+FFFD for each byte that is not part of a well-formed sequence (one column each, as the columns
/// count it), and its bytes are kept in base64: a snippet's in its `binary`, a message's in its
/// `properties.binary`. Output is byte for byte the same for the same reports.
class Sarif_log {
 public:
  /// An empty log of `tool`'s run.
  explicit Sarif_log(Sarif_tool tool, Sarif_options options = {});
  /// Takes over `other`'s results; `other` is then empty.
  Sarif_log(Sarif_log&& other) noexcept;
  /// As the move constructor.
  Sarif_log& operator=(Sarif_log&& other) noexcept;
  Sarif_log(const Sarif_log&) = delete;
  Sarif_log& operator=(const Sarif_log&) = delete;
  /// Frees the results.
  ~Sarif_log();

  /// Adds `report` as a result. Opens each input of its labels and fixes,
  /// resolves their positions and reads the lines they touch (and, for
  /// offsets, every line before them once per input). Throws as pp_report
  /// resolving them does, leaving the log as it was.
  void add(const Report& report);
  /// add, reporting a failure in `error` instead of throwing.
  void add(const Report& report, Error& error) noexcept;

  /// The run's invocation, written as its one `invocations` entry; the
  /// last one given counts. Without one, a log that leaves results out
  /// (see below) or names files by absolute URI still has one, successful,
  /// in the current folder (code scanning needs it to place those files).
  void set_invocation(Sarif_invocation invocation);

  /// The results added so far.
  [[nodiscard]] std::size_t size() const noexcept;

  /// Writes the log, indented by two spaces, ending with a line feed.
  /// Throws std::ios_base::failure when the stream fails.
  void write(std::ostream& out) const;
  /// write, reporting a failure in `error` instead of throwing.
  void write(std::ostream& out, Error& error) const noexcept;

  /// The log as write writes it.
  [[nodiscard]] std::string str() const;

 private:
  friend class Sarif_stream;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// A SARIF log written to a stream as its results are added, for runs too
/// large to hold: what it keeps is about 64 KiB of text, whatever the number
/// of results. The log is Sarif_log's, results and limits alike, but for
/// one thing: the run's `results` come first, before its tool, invocation
/// and artifacts, which are known only at the end (readers take a run's
/// members in any order). The stream must outlive the Sarif_stream; it is
/// never closed.
class Sarif_stream {
 public:
  /// A log of `tool`'s run, written to `out`.
  Sarif_stream(std::ostream& out, Sarif_tool tool, Sarif_options options = {});
  /// Takes over `other`'s log; `other` can then only be destroyed.
  Sarif_stream(Sarif_stream&& other) noexcept;
  /// As the move constructor.
  Sarif_stream& operator=(Sarif_stream&& other) noexcept;
  Sarif_stream(const Sarif_stream&) = delete;
  Sarif_stream& operator=(const Sarif_stream&) = delete;
  /// Leaves what was written as it stands: a log never finished is not
  /// whole.
  ~Sarif_stream();

  /// As Sarif_log::add, writing the result out once about 64 KiB are
  /// pending. Throws std::ios_base::failure when the stream fails (the
  /// result then counts as added), std::logic_error after finish.
  void add(const Report& report);
  /// add, reporting a failure in `error` instead of throwing.
  void add(const Report& report, Error& error) noexcept;
  /// As Sarif_log::set_invocation, before finish.
  void set_invocation(Sarif_invocation invocation);
  /// The results added so far.
  [[nodiscard]] std::size_t size() const noexcept;
  /// Writes the rest of the log, ending with a line feed, and flushes the
  /// stream. Throws std::ios_base::failure when the stream fails and
  /// std::logic_error when called twice.
  void finish();
  /// finish, reporting a failure in `error` instead of throwing.
  void finish(Error& error) noexcept;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace vantel
