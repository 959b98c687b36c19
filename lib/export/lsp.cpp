// SPDX-License-Identifier: MIT
#include <vantel/lsp.hpp>

#include "export/descendants.hpp"
#include "export/edit_groups.hpp"
#include "export/fallback_text.hpp"
#include "export/json_lines.hpp"
#include "export/json_text.hpp"
#include "export/report_tags.hpp"
#include "export/uri_check.hpp"
#include "input/uri.hpp"
#include "model/region.hpp"
#include "support/capture.hpp"
#include "support/message_text.hpp"

#include <nlohmann/json.hpp>

#include <optional>
#include <utility>

namespace vantel {

namespace {

using detail::Json;

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

class Writer {
 public:
  explicit Writer(const Lsp_options& options)
      : options_(options),
        base_(detail::checked_base_uri(options.base_uri, "vantel::to_lsp_json: base URI")),
        regions_(unit_of(options.encoding), false) {
    for (const auto& [code, url] : options.code_urls)
      (void)detail::checked_uri(url,
                                "vantel::to_lsp_json: code URL of " + detail::message_text(code));
  }

  // Appends the report's diagnostics to the array being written in `out`.
  void diagnostics(const Report& report, std::string& out) {
    for (const Label& label : report.labels) {
      if (label.kind != Label_kind::Primary) continue;
      std::optional<Json> range = range_of(label.source, label.location);
      if (!range) continue;
      out += out.empty() ? "[\n  " : ",\n  ";
      detail::append_nested(out, diagnostic(report, label, std::move(*range)), 1);
    }
  }

  static std::string closed(std::string out) {
    out += out.empty() ? "[]\n" : "\n]\n";
    return out;
  }

 private:
  std::string uri(const Source& source) const {
    const bool relative = !base_.empty();
    return detail::resolve_uri(base_, detail::artifact_uri(source, relative),
                               detail::is_absolute_artifact(source, relative));
  }

  std::optional<Json> range_of(const Source& source, const Location& location) {
    const std::optional<detail::Region> r = regions_.read(source.input, location);
    if (!r)
      return std::nullopt;  // Members one by one: an initializer list builds a pair array for each.
    Json range = Json::object();
    Json& start = range["start"];
    start["line"] = r->start_line - 1;
    start["character"] = r->start_col - 1;
    Json& end = range["end"];
    end["line"] = r->end_line - 1;
    end["character"] = r->end_col - 1;
    return range;
  }

  static std::string text_of(const Report& report, const Label& label) {
    std::string text = detail::report_text(report);
    if (!label.message.empty()) text += "\n" + label.message;
    for (const Note& note : report.notes)
      text += "\n" + (note.kind.empty() ? note.text : note.kind + ": " + note.text);
    return detail::as_utf8(text);
  }

  Json related(const Report& report, const Json& place) {
    Json out = Json::array();
    for (const Label& label : report.labels) {
      if (label.kind != Label_kind::Secondary) continue;
      if (std::optional<Json> range = range_of(label.source, label.location))
        out.push_back(info(label.source, std::move(*range), label.message));
    }
    for (const Report* child : detail::descendants(report)) {
      const std::string text = std::string(child->severity.word()) + ": " + child->message;
      bool placed = false;
      for (const Label& label : child->labels) {
        std::optional<Json> range = range_of(label.source, label.location);
        if (!range) continue;
        out.push_back(info(label.source, std::move(*range),
                           label.message.empty() ? text : text + ": " + label.message));
        placed = true;
      }
      if (!placed) out.push_back({{"location", place}, {"message", detail::as_utf8(text)}});
    }
    for (std::size_t k = 0; k < report.path.size(); ++k) {
      const Path_event& event = report.path[k];
      if (std::optional<Json> range = range_of(event.source, event.location))
        out.push_back(info(event.source, std::move(*range),
                           "(" + std::to_string(k + 1) + ") " + event.message));
    }
    return out;
  }

  Json info(const Source& source, Json range, const std::string& text) const {
    Json i = Json::object();
    Json& location = i["location"];
    location["uri"] = uri(source);
    location["range"] = std::move(range);
    i["message"] = detail::as_utf8(text);
    return i;
  }

  Json fix_json(const Fix& fix) {
    Json changes = Json::object();
    for (const auto& [source, edits] : detail::edit_groups(fix)) {
      Json& list = changes[uri(*source)];
      if (list.is_null()) list = Json::array();
      for (const Edit* edit : edits)
        if (std::optional<Json> range = range_of(edit->source, edit->location))
          list.push_back(
              {{"range", std::move(*range)}, {"newText", detail::as_utf8(edit->replacement)}});
    }
    static constexpr const char* words[] = {"machine-applicable", "maybe-incorrect",
                                            "has-placeholders", "unspecified"};
    return {{"title", detail::as_utf8(detail::fix_text(fix))},
            {"kind", "quickfix"},
            {"isPreferred", fix.applicability == Applicability::Machine_applicable},
            {"applicability", words[static_cast<int>(fix.applicability)]},
            {"edit", {{"changes", std::move(changes)}}}};
  }

  Json diagnostic(const Report& report, const Label& label, Json range) {
    Json d = Json::object();
    d["range"] = std::move(range);
    d["severity"] = severity_number(report.severity);
    if (!report.code.empty()) {
      d["code"] = detail::as_utf8(report.code);
      const auto url = options_.code_urls.find(report.code);
      if (url != options_.code_urls.end())
        d["codeDescription"] = {{"href", detail::as_utf8(url->second)}};
      else if (!report.code_url.empty())
        d["codeDescription"] = {
            {"href", detail::checked_uri(report.code_url, "vantel::to_lsp_json: code URL of " +
                                                              detail::message_text(report.code))}};
    }
    if (!options_.source.empty()) d["source"] = detail::as_utf8(options_.source);
    d["message"] = text_of(report, label);
    if (!report.tags.empty()) d["tags"] = detail::lsp_tags(report.tags);
    const std::string place_uri = uri(label.source);
    Json others = related(report, {{"uri", place_uri}, {"range", d["range"]}});
    if (!others.empty()) d["relatedInformation"] = std::move(others);
    Json data = Json::object();
    data["uri"] = place_uri;
    if (report.severity.level() == Severity::Custom)
      data["severity"] = detail::as_utf8(report.severity.word());
    if (!report.fixes.empty()) {
      Json fixes = Json::array();
      for (const Fix& fix : report.fixes) fixes.push_back(fix_json(fix));
      data["fixes"] = std::move(fixes);
    }
    d["data"] = std::move(data);
    return d;
  }

  const Lsp_options& options_;
  std::string base_;  // the base URI, checked and ending with its slash
  detail::Region_reader regions_;
};

}  // namespace

std::string to_lsp_json(const Report& report, const Lsp_options& options) {
  Writer writer(options);
  std::string out;
  writer.diagnostics(report, out);
  return Writer::closed(std::move(out));
}

std::string to_lsp_json(const std::vector<Report>& reports, const Lsp_options& options) {
  Writer writer(options);
  std::string out;
  for (const Report& report : reports) writer.diagnostics(report, out);
  return Writer::closed(std::move(out));
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
