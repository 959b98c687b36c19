// SPDX-License-Identifier: MIT
#include <vantel/sarif_read.hpp>

#include "export/fallback_text.hpp"
#include "export/sarif_uri.hpp"
#include "input/uri.hpp"
#include "support/capture.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace vantel {

namespace {

using Json = nlohmann::json;

enum class Kind { Object, Array, String, Integer };

bool is(const Json& j, Kind kind) {
  if (kind == Kind::Object) return j.is_object();
  if (kind == Kind::Array) return j.is_array();
  if (kind == Kind::String) return j.is_string();
  return j.is_number_integer();
}

const char* word_of(Kind kind) {
  switch (kind) {
    case Kind::Object:
      return "an object";
    case Kind::Array:
      return "an array";
    case Kind::String:
      return "a string";
    case Kind::Integer:
      return "an integer";
  }
  return "a value";
}

std::string indexed(const std::string& where, const char* key, std::size_t k) {
  return where + "." + key + "[" + std::to_string(k) + "]";
}

// A column past any line's end: the end of its line.
constexpr std::int64_t line_end = std::numeric_limits<std::int32_t>::max();

struct Run {
  const Json* artifacts = nullptr;
  const Json* bases = nullptr;
  std::map<std::string, const Json*> rules_by_id;
  const Json* rules = nullptr;
  Column_unit unit = Column_unit::Utf16;
  bool char_offsets_in_bytes = false;
};

// Where an artifact was read from, for a note when it could not be.
struct Place {
  std::optional<Source> source;  // none when the file cannot be read
  std::string name;
  std::optional<Location> location;
  std::int64_t line = 0;
  std::int64_t col = 0;
};

class Reader {
 public:
  Reader(std::string log_name, const Sarif_read_options& options)
      : log_name_(std::move(log_name)), options_(options) {}

  std::vector<Report> read(std::string_view text) {
    Json log;
    try {
      log = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
      const std::string what = e.what();
      const auto cut = what.find("] ");
      throw std::invalid_argument(
          log_name_ + ": not JSON: " + (cut == std::string::npos ? what : what.substr(cut + 2)));
    }
    if (!log.is_object()) refuse("the log", "expected an object");
    const Json* version = member(log, "version", Kind::String, "the log");
    if (version == nullptr || *version != "2.1.0")
      refuse("version", "expected \"2.1.0\", the only SARIF version read");
    const Json* runs = member(log, "runs", Kind::Array, "the log");
    if (runs == nullptr) refuse("runs", "missing");
    std::vector<Report> reports;
    for (std::size_t k = 0; k < runs->size(); ++k)
      read_run((*runs)[k], "runs[" + std::to_string(k) + "]", reports);
    return reports;
  }

 private:
  [[noreturn]] void refuse(const std::string& where, const std::string& what) const {
    throw std::invalid_argument(log_name_ + ": " + where + ": " + what);
  }

  void require(const Json& j, Kind kind, const std::string& where) const {
    if (!is(j, kind)) refuse(where, std::string("expected ") + word_of(kind));
  }

  // The member `key` of object `j`, or null when it is absent or null.
  const Json* member(const Json& j, const char* key, Kind kind, const std::string& where) const {
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) return nullptr;
    require(*it, kind, where + "." + key);
    return &*it;
  }

  std::string text(const Json& j, const char* key, const std::string& where) const {
    const Json* m = member(j, key, Kind::String, where);
    return m == nullptr ? std::string() : m->get<std::string>();
  }

  std::optional<std::int64_t> number(const Json& j, const char* key, const std::string& where,
                                     std::int64_t least) const {
    const Json* m = member(j, key, Kind::Integer, where);
    if (m == nullptr) return std::nullopt;
    if (m->is_number_unsigned() &&
        m->get<std::uint64_t>() > std::uint64_t{std::numeric_limits<std::int64_t>::max()})
      refuse(where + "." + key, "out of range");
    const auto value = m->get<std::int64_t>();
    if (value < least) refuse(where + "." + key, "below " + std::to_string(least));
    return value;
  }

  void read_run(const Json& r, const std::string& where, std::vector<Report>& reports) {
    require(r, Kind::Object, where);
    run_ = Run{};
    run_.artifacts = member(r, "artifacts", Kind::Array, where);
    run_.bases = member(r, "originalUriBaseIds", Kind::Object, where);
    const std::string kind = text(r, "columnKind", where);
    if (kind == "unicodeCodePoints")
      run_.unit = Column_unit::Code_points;
    else if (!kind.empty() && kind != "utf16CodeUnits")
      refuse(where + ".columnKind", "expected utf16CodeUnits or unicodeCodePoints");
    read_rules(r, where);
    const Json* results = member(r, "results", Kind::Array, where);
    if (results == nullptr) return;
    for (std::size_t k = 0; k < results->size(); ++k)
      if (std::optional<Report> report = result((*results)[k], indexed(where, "results", k)))
        reports.push_back(std::move(*report));
  }

  void read_rules(const Json& r, const std::string& where) {
    const Json* tool = member(r, "tool", Kind::Object, where);
    if (tool == nullptr) refuse(where + ".tool", "missing");
    const Json* driver = member(*tool, "driver", Kind::Object, where + ".tool");
    if (driver == nullptr) refuse(where + ".tool.driver", "missing");
    // The clang-tidy converter writes clang-tidy's byte offsets as character
    // offsets.
    run_.char_offsets_in_bytes = text(*driver, "name", where + ".tool.driver") == "Clang-Tidy";
    run_.rules = member(*driver, "rules", Kind::Array, where + ".tool.driver");
    if (run_.rules == nullptr) return;
    for (std::size_t k = 0; k < run_.rules->size(); ++k) {
      const std::string at = indexed(where + ".tool.driver", "rules", k);
      require((*run_.rules)[k], Kind::Object, at);
      run_.rules_by_id.emplace(text((*run_.rules)[k], "id", at), &(*run_.rules)[k]);
    }
  }

  const Json* rule_of(const Json& r, const std::string& where) const {
    if (const std::optional<std::int64_t> index = number(r, "ruleIndex", where, -1);
        index && *index >= 0) {
      if (run_.rules == nullptr || static_cast<std::uint64_t>(*index) >= run_.rules->size())
        refuse(where + ".ruleIndex", "no such rule in the run");
      return &(*run_.rules)[static_cast<std::size_t>(*index)];
    }
    const auto found = run_.rules_by_id.find(text(r, "ruleId", where));
    return found == run_.rules_by_id.end() ? nullptr : found->second;
  }

  std::string level_of(const Json& r, const Json* rule, const std::string& where) const {
    std::string level = text(r, "level", where);
    if (level.empty() && rule != nullptr)
      if (const Json* c = member(*rule, "defaultConfiguration", Kind::Object, where + ".rule"))
        level = text(*c, "level", where + ".rule.defaultConfiguration");
    if (level.empty()) return "warning";
    if (level != "error" && level != "warning" && level != "note" && level != "none")
      refuse(where + ".level", "expected error, warning, note or none");
    return level;
  }

  bool kept(const std::string& level) const {
    if (options_.levels.empty()) return true;
    for (const std::string& k : options_.levels)
      if (k == level) return true;
    return false;
  }

  // A message's text, or its rule's message string, with its arguments put
  // in for {0}, {1}...
  std::string message_text(const Json* m, const Json* rule, const std::string& where) const {
    if (m == nullptr) return {};
    require(*m, Kind::Object, where);
    std::string format = text(*m, "text", where);
    if (format.empty() && rule != nullptr) {
      const std::string id = text(*m, "id", where);
      if (const Json* strings = member(*rule, "messageStrings", Kind::Object, where + ".rule"))
        if (const Json* s = member(*strings, id.c_str(), Kind::Object, where + ".rule"))
          format = text(*s, "text", where + ".rule.messageStrings");
    }
    std::vector<std::string> arguments;
    if (const Json* args = member(*m, "arguments", Kind::Array, where))
      for (std::size_t k = 0; k < args->size(); ++k) {
        require((*args)[k], Kind::String, indexed(where, "arguments", k));
        arguments.push_back((*args)[k].get<std::string>());
      }
    return detail::with_arguments(format, arguments);
  }

  std::optional<Report> result(const Json& r, const std::string& where) {
    require(r, Kind::Object, where);
    const Json* rule = rule_of(r, where);
    const std::string level = level_of(r, rule, where);
    if (!kept(level)) return std::nullopt;
    Report report;
    std::string id = text(r, "ruleId", where);
    if (id.empty() && rule != nullptr) id = text(*rule, "id", where + ".rule");
    // A rule named after the level is a stand-in for no code at all.
    const bool stand_in = id == level || (id == "help" && level == "note");
    report.severity = stand_in          ? Severity::of_word(id)
                      : level == "none" ? Severity(Severity::Note)
                                        : Severity::of_word(level);
    if (!stand_in) report.code = id;
    if (rule != nullptr && !stand_in) report.code_url = text(*rule, "helpUri", where + ".rule");
    report.message =
        message_text(member(r, "message", Kind::Object, where), rule, where + ".message");
    add_labels(r, "locations", Label_kind::Primary, report, where);
    add_labels(r, "relatedLocations", Label_kind::Secondary, report, where);
    add_path(r, report, where);
    add_fixes(r, report, where);
    add_notes(r, report, where);
    return report;
  }

  void add_labels(const Json& r, const char* key, Label_kind kind, Report& report,
                  const std::string& where) {
    const Json* locations = member(r, key, Kind::Array, where);
    if (locations == nullptr) return;
    for (std::size_t k = 0; k < locations->size(); ++k) {
      const std::string at = indexed(where, key, k);
      const Json& l = (*locations)[k];
      require(l, Kind::Object, at);
      const Json* physical = member(l, "physicalLocation", Kind::Object, at);
      if (physical == nullptr) continue;  // a logical location alone has no text to show
      Place place = place_of(*physical, at + ".physicalLocation");
      std::string message =
          message_text(member(l, "message", Kind::Object, at), nullptr, at + ".message");
      if (place.source && place.location)
        report.labels.emplace_back(std::move(*place.source), std::move(*place.location),
                                   std::move(message), kind);
      else if (!place.source)
        report.notes.push_back({"note", where_of(place) + ": the file could not be read"});
    }
  }

  static std::string where_of(const Place& place) {
    std::string at = place.name;
    if (place.line > 0) at += ":" + std::to_string(place.line);
    if (place.col > 0) at += ":" + std::to_string(place.col);
    return at;
  }

  void add_path(const Json& r, Report& report, const std::string& where) {
    const Json* flows = member(r, "codeFlows", Kind::Array, where);
    if (flows == nullptr || flows->empty()) return;
    const std::string flow_at = where + ".codeFlows[0]";
    require(flows->front(), Kind::Object, flow_at);
    const Json* threads = member(flows->front(), "threadFlows", Kind::Array, flow_at);
    if (threads == nullptr || threads->empty()) return;
    const std::string thread_at = flow_at + ".threadFlows[0]";
    require(threads->front(), Kind::Object, thread_at);
    const Json* steps = member(threads->front(), "locations", Kind::Array, thread_at);
    if (steps == nullptr) return;
    for (std::size_t k = 0; k < steps->size(); ++k) {
      const std::string at = indexed(thread_at, "locations", k);
      require((*steps)[k], Kind::Object, at);
      const std::int64_t depth = number((*steps)[k], "nestingLevel", at, 0).value_or(0);
      const Json* l = member((*steps)[k], "location", Kind::Object, at);
      const Json* physical =
          l == nullptr ? nullptr : member(*l, "physicalLocation", Kind::Object, at + ".location");
      if (physical == nullptr) continue;
      Place place = place_of(*physical, at + ".location.physicalLocation");
      if (!place.source || !place.location) continue;
      report.path.emplace_back(
          std::move(*place.source), std::move(*place.location),
          message_text(member(*l, "message", Kind::Object, at), nullptr, at + ".message"), depth);
    }
  }

  static Applicability applicability_of(const std::string& word) {
    if (word == "machineApplicable") return Applicability::Machine_applicable;
    if (word == "maybeIncorrect") return Applicability::Maybe_incorrect;
    if (word == "hasPlaceholders") return Applicability::Has_placeholders;
    return Applicability::Unspecified;
  }

  void add_fixes(const Json& r, Report& report, const std::string& where) {
    const Json* fixes = member(r, "fixes", Kind::Array, where);
    if (fixes == nullptr) return;
    for (std::size_t k = 0; k < fixes->size(); ++k) {
      const std::string at = indexed(where, "fixes", k);
      require((*fixes)[k], Kind::Object, at);
      Fix fix;
      fix.message = message_text(member((*fixes)[k], "description", Kind::Object, at), nullptr,
                                 at + ".description");
      if (const Json* p = member((*fixes)[k], "properties", Kind::Object, at))
        fix.applicability = applicability_of(text(*p, "applicability", at + ".properties"));
      const Json* changes = member((*fixes)[k], "artifactChanges", Kind::Array, at);
      if (changes != nullptr)
        for (std::size_t c = 0; c < changes->size(); ++c)
          add_edits((*changes)[c], fix, indexed(at, "artifactChanges", c));
      if (fix.message.empty()) fix.message = detail::fix_text(fix);
      if (!fix.edits.empty()) report.fixes.push_back(std::move(fix));
    }
  }

  void add_edits(const Json& change, Fix& fix, const std::string& where) {
    require(change, Kind::Object, where);
    const Json* artifact = member(change, "artifactLocation", Kind::Object, where);
    if (artifact == nullptr) refuse(where + ".artifactLocation", "missing");
    const Json* replacements = member(change, "replacements", Kind::Array, where);
    if (replacements == nullptr) return;
    for (std::size_t k = 0; k < replacements->size(); ++k) {
      const std::string at = indexed(where, "replacements", k);
      const Json& rep = (*replacements)[k];
      require(rep, Kind::Object, at);
      Place place = place_in(*artifact, member(rep, "deletedRegion", Kind::Object, at),
                             where + ".artifactLocation", at + ".deletedRegion");
      if (!place.source || !place.location) continue;  // its file cannot be shown changed
      std::string inserted;
      if (const Json* content = member(rep, "insertedContent", Kind::Object, at))
        inserted = text(*content, "text", at + ".insertedContent");
      fix.edits.emplace_back(std::move(*place.source), std::move(*place.location),
                             std::move(inserted));
    }
  }

  void add_notes(const Json& r, Report& report, const std::string& where) const {
    const Json* properties = member(r, "properties", Kind::Object, where);
    const Json* notes = properties == nullptr
                            ? nullptr
                            : member(*properties, "notes", Kind::Array, where + ".properties");
    if (notes == nullptr) return;
    for (std::size_t k = 0; k < notes->size(); ++k) {
      require((*notes)[k], Kind::String, indexed(where + ".properties", "notes", k));
      const std::string note = (*notes)[k].get<std::string>();
      // "kind: text", as notes are written; a note's kind is one word.
      const auto colon = note.find(": ");
      if (colon != std::string::npos && colon > 0 && note.find_first_of(" \t") > colon)
        report.notes.push_back({note.substr(0, colon), note.substr(colon + 2)});
      else
        report.notes.push_back({"", note});
    }
  }

  Place place_of(const Json& physical, const std::string& where) {
    const Json* artifact = member(physical, "artifactLocation", Kind::Object, where);
    if (artifact == nullptr) refuse(where + ".artifactLocation", "missing");
    return place_in(*artifact, member(physical, "region", Kind::Object, where),
                    where + ".artifactLocation", where + ".region");
  }

  Place place_in(const Json& artifact, const Json* region, const std::string& artifact_at,
                 const std::string& region_at) {
    Place place;
    place.source = source_of(artifact, artifact_at, place.name);
    if (region == nullptr) return place;
    place.line = number(*region, "startLine", region_at, 1).value_or(0);
    place.col = number(*region, "startColumn", region_at, 1).value_or(0);
    place.location = location_of(*region, region_at);
    return place;
  }

  // The stretch a region names: its lines and columns, or its bytes. A
  // region that gives neither is not drawn.
  std::optional<Location> location_of(const Json& region, const std::string& where) const {
    const std::optional<std::int64_t> line = number(region, "startLine", where, 1);
    if (!line) {
      if (std::optional<Location> bytes = offsets_of(region, "byteOffset", "byteLength", where))
        return bytes;
      if (!run_.char_offsets_in_bytes) return std::nullopt;
      return offsets_of(region, "charOffset", "charLength", where);
    }
    const std::optional<std::int64_t> col = number(region, "startColumn", where, 1);
    const std::int64_t end_line = number(region, "endLine", where, *line).value_or(*line);
    // Without columns the region is whole lines.
    const std::int64_t end_col = number(region, "endColumn", where, 1).value_or(line_end);
    if (end_line == *line && col && end_col < *col)
      refuse(where + ".endColumn", "before startColumn");
    return Location(Position::of_line_col(*line, col.value_or(1), run_.unit),
                    Position::of_line_col(end_line, end_col, run_.unit));
  }

  std::optional<Location> offsets_of(const Json& region, const char* offset_key,
                                     const char* length_key, const std::string& where) const {
    const std::optional<std::int64_t> offset = number(region, offset_key, where, 0);
    if (!offset) return std::nullopt;
    const std::int64_t length = number(region, length_key, where, 0).value_or(0);
    if (length > std::numeric_limits<std::int64_t>::max() - *offset)
      refuse(where + "." + length_key, "out of range");
    return Location::of_offsets(*offset, *offset + length);
  }

  std::optional<Source> source_of(const Json& artifact, const std::string& where,
                                  std::string& name) {
    std::string uri = text(artifact, "uri", where);
    std::string base_id = text(artifact, "uriBaseId", where);
    if (uri.empty()) {
      const std::optional<std::int64_t> index = number(artifact, "index", where, 0);
      if (!index || run_.artifacts == nullptr ||
          static_cast<std::uint64_t>(*index) >= run_.artifacts->size())
        refuse(where, "an artifact location with neither a URI nor an artifact's index");
      const std::string at = "artifacts[" + std::to_string(*index) + "]";
      const Json& listed = (*run_.artifacts)[static_cast<std::size_t>(*index)];
      require(listed, Kind::Object, at);
      const Json* location = member(listed, "location", Kind::Object, at);
      if (location == nullptr) refuse(at + ".location", "missing");
      uri = text(*location, "uri", at + ".location");
      base_id = text(*location, "uriBaseId", at + ".location");
    }
    for (const Source& known : options_.artifacts)
      if (detail::uri_of_name(known.name) == uri || detail::artifact_uri(known, false) == uri) {
        name = known.name;
        return known;
      }
    const std::string path = detail::path_of_uri(resolved(uri, base_id, where));
    name = detail::is_absolute_uri(uri) ? path : detail::percent_decoded(uri);
    if (!readable(path)) return std::nullopt;
    return Source(Input::file(path), name);
  }

  // `uri` made absolute through its base ids, as far as they go.
  std::string resolved(std::string uri, const std::string& first_id,
                       const std::string& where) const {
    std::string base_id = first_id;
    for (int hops = 0; !detail::is_absolute_uri(uri); ++hops) {
      if (hops == 16) refuse(where + ".uriBaseId", "base ids nest too deep or in a circle");
      const Json* base =
          base_id.empty() || run_.bases == nullptr
              ? nullptr
              : member(*run_.bases, base_id.c_str(), Kind::Object, "originalUriBaseIds");
      std::string base_uri = base == nullptr ? std::string() : text(*base, "uri", base_id);
      if (base_uri.empty())
        return options_.base_uri.empty() ? uri : detail::resolve_uri(options_.base_uri, uri, false);
      uri = detail::resolve_uri(base_uri, uri, false);
      base_id = text(*base, "uriBaseId", base_id);
    }
    return uri;
  }

  bool readable(const std::string& path) {
    const auto known = readable_.find(path);
    if (known != readable_.end()) return known->second;
    std::error_code ec;
    const bool ok = std::filesystem::is_regular_file(path, ec) &&
                    std::ifstream(path, std::ios::binary).is_open();
    readable_.emplace(path, ok);
    return ok;
  }

  std::string log_name_;
  const Sarif_read_options& options_;
  Run run_;
  std::map<std::string, bool> readable_;
};

}  // namespace

std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                               const Sarif_read_options& options) {
  return Reader(log_name, options).read(log);
}

std::vector<Report> read_sarif(std::string_view log, const std::string& log_name,
                               const Sarif_read_options& options, Error& error) noexcept {
  std::vector<Report> reports;
  detail::capture(error, [&] { reports = read_sarif(log, log_name, options); });
  if (error) reports.clear();
  return reports;
}

}  // namespace vantel
