// SPDX-License-Identifier: MIT
#include <vantel/lsp.hpp>

#include "export/descendants.hpp"
#include "export/edit_groups.hpp"
#include "export/fallback_text.hpp"
#include "export/json_writer.hpp"
#include "export/report_tags.hpp"
#include "export/uri_check.hpp"
#include "input/uri.hpp"
#include "model/region.hpp"
#include "model/span_faults.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"

#include <algorithm>
#include <cstdint>
#include <ios>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel {

namespace {

int severity_number(const Severity& severity) {
  switch (severity.level()) {
    case Severity::Error:
      return 1;
    case Severity::Warning:
      return 2;
    case Severity::Help:
      return 4;
    case Severity::Note:
    case Severity::Custom:
      break;
  }
  return 3;
}

Column_unit unit_of(Lsp_encoding encoding) {
  switch (encoding) {
    case Lsp_encoding::Utf8:
      return Column_unit::Bytes;
    case Lsp_encoding::Utf32:
      return Column_unit::Code_points;
    case Lsp_encoding::Utf16:
      break;
  }
  return Column_unit::Utf16;
}

struct Range {
  std::int64_t start_line, start_character, end_line, end_character;
};

// A related location: where, and what is said there.
struct Info {
  std::string uri;
  Range range;
  std::string message;
};

// A fix's edits in one file.
struct Change {
  std::string uri;
  std::vector<std::pair<Range, const std::string*>> edits;
};

class Writer {
 public:
  explicit Writer(const Lsp_options& options)
      : options_(options),
        base_(detail::checked_base_uri(options.base_uri, "vantel::to_lsp_json: base URI")),
        regions_(unit_of(options.encoding), false) {
    for (const auto& [code, url] : options.code_urls)
      (void)detail::checked_uri(url,
                                "vantel::to_lsp_json: code URL of " + detail::message_text(code));
    out_.restart(0);
    out_.start_array();
  }

  // Writes a diagnostic for each of the report's primary labels.
  void diagnostics(const Report& report) {
    std::optional<detail::Span_faults> faults;
    for (const Label& label : report.labels) {
      if (label.kind != Label_kind::Primary) continue;
      std::optional<Range> range = range_of(label.source, label.location);
      if (!range) continue;
      if (!faults) faults = detail::span_faults(report);
      diagnostic(report, *faults, label, *range);
    }
  }

  std::string closed() {
    out_.end_array();
    std::string text(out_.text());
    text += '\n';
    return text;
  }

  // Hands what was written to `out` once it is worth a write, so that the
  // buffer stays small and warm however many reports there are.
  void flush_to(std::ostream& out) {
    if (out_.text().size() >= flush_bytes) out_.flush_to(out);
  }
  void close_to(std::ostream& out) {
    out_.end_array();
    out_.flush_to(out);
    out << '\n';
  }

 private:
  std::string uri(const Source& source) const {
    const bool relative = !base_.empty();
    return detail::resolve_uri(base_, detail::artifact_uri(source, relative),
                               detail::is_absolute_artifact(source, relative));
  }

  std::optional<Range> range_of(const Source& source, const Location& location) {
    const std::optional<detail::Region> r = regions_.read(source, location);
    if (!r) return std::nullopt;
    return Range{r->start_line - 1, r->start_col - 1, r->end_line - 1, r->end_col - 1};
  }

  void range(const Range& r) {
    const auto point = [&](const char* key, std::int64_t line, std::int64_t character) {
      out_.key(key);
      out_.start_object();
      out_.key("line");
      out_.integer(line);
      out_.key("character");
      out_.integer(character);
      out_.end_object();
    };
    out_.start_object();
    point("start", r.start_line, r.start_character);
    point("end", r.end_line, r.end_character);
    out_.end_object();
  }

  void location(const std::string& uri, const Range& r) {
    out_.start_object();
    out_.member("uri", uri);
    out_.key("range");
    range(r);
    out_.end_object();
  }

  static std::string text_of(const Report& report, const detail::Span_faults& faults,
                             const Label& label) {
    std::string text = detail::report_text(report);
    if (!label.message.empty()) text += "\n" + label.message;
    for (const std::vector<Note>* notes : {&report.notes, &faults.notes})
      for (const Note& note : *notes)
        text += "\n" + (note.kind.empty() ? note.text : note.kind + ": " + note.text);
    return text;
  }

  // Secondary labels, children's labels (or the report's place for a child
  // without any) and the path's events, numbered.
  std::vector<Info> related(const Report& report, const Info& place) {
    std::vector<Info> out;
    for (const Label& label : report.labels) {
      if (label.kind != Label_kind::Secondary) continue;
      if (std::optional<Range> r = range_of(label.source, label.location))
        out.push_back({uri(label.source), *r, label.message});
    }
    for (const Report* child : detail::descendants(report)) {
      const std::string text = std::string(child->severity.word()) + ": " + child->message;
      bool placed = false;
      for (const Label& label : child->labels) {
        if (label.kind == Label_kind::Context) continue;  // it marks nothing
        std::optional<Range> r = range_of(label.source, label.location);
        if (!r) continue;
        out.push_back(
            {uri(label.source), *r, label.message.empty() ? text : text + ": " + label.message});
        placed = true;
      }
      if (!placed) out.push_back({place.uri, place.range, text});
    }
    for (std::size_t k = 0; k < report.path.size(); ++k) {
      const Path_event& event = report.path[k];
      if (std::optional<Range> r = range_of(event.source, event.location))
        out.push_back({uri(event.source), *r, "(" + std::to_string(k + 1) + ") " + event.message});
    }
    return out;
  }

  // The fix's edits by file; sources that share a URI share its list.
  std::vector<Change> changes_of(const Fix& fix) {
    std::vector<Change> changes;
    for (const auto& [source, edits] : detail::edit_groups(fix)) {
      std::string at = uri(*source);
      auto change = changes.begin();
      while (change != changes.end() && change->uri != at) ++change;
      if (change == changes.end()) change = changes.insert(changes.end(), {std::move(at), {}});
      for (const Edit* edit : edits)
        if (std::optional<Range> r = range_of(edit->source, edit->location))
          change->edits.emplace_back(*r, &edit->replacement);
    }
    return changes;
  }

  void fix(const Fix& fix, const std::vector<Change>& changes) {
    static constexpr const char* words[] = {"machine-applicable", "maybe-incorrect",
                                            "has-placeholders", "unspecified"};
    out_.start_object();
    out_.member("title", detail::fix_text(fix));
    out_.member("kind", "quickfix");
    out_.key("isPreferred");
    out_.boolean(fix.applicability == Applicability::Machine_applicable);
    out_.member("applicability", words[static_cast<int>(fix.applicability)]);
    out_.key("edit");
    out_.start_object();
    out_.key("changes");
    out_.start_object();
    for (const Change& change : changes) {
      out_.key(change.uri);
      out_.start_array();
      for (const auto& [r, text] : change.edits) {
        out_.start_object();
        out_.key("range");
        range(r);
        out_.member("newText", *text);
        out_.end_object();
      }
      out_.end_array();
    }
    out_.end_object();
    out_.end_object();
    out_.end_object();
  }

  void head(const Report& report, const detail::Span_faults& faults, const Label& label,
            const Range& r) {
    out_.key("range");
    range(r);
    out_.key("severity");
    out_.integer(severity_number(report.severity));
    if (!report.code.empty()) {
      out_.member("code", report.code);
      const auto url = options_.code_urls.find(report.code);
      const std::string href =
          url != options_.code_urls.end() ? url->second
          : report.code_url.empty()
              ? std::string()
              : detail::checked_uri(report.code_url, "vantel::to_lsp_json: code URL of " +
                                                         detail::message_text(report.code));
      if (!href.empty()) {
        out_.key("codeDescription");
        out_.start_object();
        out_.member("href", href);
        out_.end_object();
      }
    }
    if (!options_.source.empty()) out_.member("source", options_.source);
    out_.member("message", text_of(report, faults, label));
    if (!report.tags.empty()) {
      out_.key("tags");
      detail::write_lsp_tags(out_, report.tags);
    }
  }

  // A fix that cannot be applied is left out; a note in the message says so.
  void data(const Report& report, const std::string& place_uri,
            const std::vector<std::optional<std::vector<Change>>>& fixes) {
    out_.key("data");
    out_.start_object();
    out_.member("uri", place_uri);
    if (report.severity.level() == Severity::Custom)
      out_.member("severity", report.severity.word());
    if (std::any_of(fixes.begin(), fixes.end(), [](const auto& f) { return f.has_value(); })) {
      out_.key("fixes");
      out_.start_array();
      for (std::size_t k = 0; k < report.fixes.size(); ++k)
        if (fixes[k]) fix(report.fixes[k], *fixes[k]);
      out_.end_array();
    }
    out_.end_object();
  }

  // Everything that reads an input is read before the diagnostic is begun.
  void diagnostic(const Report& report, const detail::Span_faults& faults, const Label& label,
                  const Range& r) {
    const Info place{uri(label.source), r, {}};
    const std::vector<Info> others = related(report, place);
    std::vector<std::optional<std::vector<Change>>> fixes;
    for (std::size_t k = 0; k < report.fixes.size(); ++k)
      fixes.push_back(faults.fix_applies[k] ? std::optional(changes_of(report.fixes[k]))
                                            : std::nullopt);
    out_.start_object();
    head(report, faults, label, r);
    if (!others.empty()) {
      out_.key("relatedInformation");
      out_.start_array();
      for (const Info& info : others) {
        out_.start_object();
        out_.key("location");
        location(info.uri, info.range);
        out_.member("message", info.message);
        out_.end_object();
      }
      out_.end_array();
    }
    data(report, place.uri, fixes);
    out_.end_object();
  }

  static constexpr std::size_t flush_bytes = std::size_t{64} * 1024;

  const Lsp_options& options_;
  std::string base_;  // the base URI, checked and ending with its slash
  detail::Region_reader regions_;
  detail::Json_writer out_;
};

}  // namespace

std::string to_lsp_json(const Report& report, const Lsp_options& options) {
  Writer writer(options);
  writer.diagnostics(report);
  return writer.closed();
}

std::string to_lsp_json(const std::vector<Report>& reports, const Lsp_options& options) {
  Writer writer(options);
  for (const Report& report : reports) writer.diagnostics(report);
  return writer.closed();
}

void write_lsp_json(std::ostream& out, const std::vector<Report>& reports,
                    const Lsp_options& options) {
  Writer writer(options);
  for (const Report& report : reports) {
    writer.diagnostics(report);
    writer.flush_to(out);
  }
  writer.close_to(out);
  if (!out) throw std::ios_base::failure("vantel::write_lsp_json: writing the diagnostics failed");
}

void write_lsp_json(std::ostream& out, const std::vector<Report>& reports,
                    const Lsp_options& options, Error& error) noexcept {
  detail::capture(error, [&] { write_lsp_json(out, reports, options); });
}

std::string to_lsp_json(const std::vector<Report>& reports, const Lsp_options& options,
                        Error& error) noexcept {
  std::string out;
  detail::capture(error, [&] { out = to_lsp_json(reports, options); });
  return out;
}

std::string to_lsp_json(const Report& report, const Lsp_options& options, Error& error) noexcept {
  std::string out;
  detail::capture(error, [&] { out = to_lsp_json(report, options); });
  return out;
}

}  // namespace vantel
