// SPDX-License-Identifier: MIT
#include "export/sarif_read_place.hpp"

#include "export/sarif_uri.hpp"
#include "input/line_reader.hpp"
#include "input/opening.hpp"
#include "input/uri.hpp"
#include "text/column_units.hpp"

#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>

namespace vantel::detail {

namespace {

// A column past any line's end: the end of its line.
constexpr std::int64_t line_end = std::numeric_limits<std::int32_t>::max();

// The offset of the character `units` units into `input` (a line feed
// counts one), or the input's size when it holds fewer.
std::int64_t byte_offset_of_units(const Input& input, std::int64_t units, Column_unit unit) {
  Opening opening(input);
  Line_reader reader(opening.cursor());
  Read_line line;
  std::int64_t end = 0;
  for (bool more = reader.read(0, line); more; more = reader.next(line)) {
    const std::int64_t in_line =
        column_of_byte(line.text, line.text.size(), unit, default_tab_width) - 1;
    if (units <= in_line) {
      const std::size_t at = byte_of_column(line.text, units + 1, unit, default_tab_width);
      opening.close();
      return line.start + static_cast<std::int64_t>(at);
    }
    units -= in_line + (line.ended ? 1 : 0);
    end = line.start + static_cast<std::int64_t>(line.text.size()) + (line.ended ? 1 : 0);
  }
  opening.close();
  return end;
}

}  // namespace

std::string where_of(const Read_place& place) {
  std::string at = place.name;
  if (place.line > 0) at += ":" + std::to_string(place.line);
  if (place.col > 0) at += ":" + std::to_string(place.col);
  return at;
}

Read_place Sarif_place_reader::place_of(const Json_value& physical, const std::string& where) {
  const Json_value* artifact =
      fields_.member(physical, "artifactLocation", Json_kind::Object, where);
  if (artifact == nullptr) fields_.refuse(where + ".artifactLocation", "missing");
  return place_in(*artifact, fields_.member(physical, "region", Json_kind::Object, where),
                  where + ".artifactLocation", where + ".region");
}

Read_place Sarif_place_reader::place_in(const Json_value& artifact, const Json_value* region,
                                        const std::string& artifact_at,
                                        const std::string& region_at) {
  Read_place place;
  place.source = source_of(artifact, artifact_at, place.name);
  if (region == nullptr) return place;
  place.line = fields_.number(*region, "startLine", region_at, 1).value_or(0);
  place.col = fields_.number(*region, "startColumn", region_at, 1).value_or(0);
  place.location = location_of(*region, region_at);
  if (!place.location && place.source)
    place.location = char_location(place.source->input, *region, region_at);
  return place;
}

// The stretch of `input` that a region's charOffset and charLength name, in
// the run's unit: each end at the start of the character that holds it.
std::optional<Location> Sarif_place_reader::char_location(const Input& input,
                                                          const Json_value& region,
                                                          const std::string& where) const {
  const std::optional<std::int64_t> offset = fields_.number(region, "charOffset", where, 0);
  if (!offset) return std::nullopt;
  const std::int64_t length = fields_.number(region, "charLength", where, 0).value_or(0);
  if (length > std::numeric_limits<std::int64_t>::max() - *offset)
    fields_.refuse(where + ".charLength", "out of range");
  return Location::of_offsets(byte_offset_of_units(input, *offset, run.unit),
                              byte_offset_of_units(input, *offset + length, run.unit));
}

// The stretch a region names: its lines and columns, or its bytes. A
// region that gives neither is not drawn.
std::optional<Location> Sarif_place_reader::location_of(const Json_value& region,
                                                        const std::string& where) const {
  const std::optional<std::int64_t> line = fields_.number(region, "startLine", where, 1);
  if (!line) {
    if (std::optional<Location> bytes = offsets_of(region, "byteOffset", "byteLength", where))
      return bytes;
    if (!run.char_offsets_in_bytes) return std::nullopt;  // char_location reads them
    return offsets_of(region, "charOffset", "charLength", where);
  }
  const std::optional<std::int64_t> col = fields_.number(region, "startColumn", where, 1);
  const std::int64_t end_line = fields_.number(region, "endLine", where, *line).value_or(*line);
  // Without columns the region is whole lines.
  const std::int64_t end_col = fields_.number(region, "endColumn", where, 1).value_or(line_end);
  if (end_line == *line && col && end_col < *col)
    fields_.refuse(where + ".endColumn", "before startColumn");
  return Location(Position::of_line_col(*line, col.value_or(1), run.unit),
                  Position::of_line_col(end_line, end_col, run.unit));
}

std::optional<Location> Sarif_place_reader::offsets_of(const Json_value& region,
                                                       const char* offset_key,
                                                       const char* length_key,
                                                       const std::string& where) const {
  const std::optional<std::int64_t> offset = fields_.number(region, offset_key, where, 0);
  if (!offset) return std::nullopt;
  const std::int64_t length = fields_.number(region, length_key, where, 0).value_or(0);
  if (length > std::numeric_limits<std::int64_t>::max() - *offset)
    fields_.refuse(where + "." + length_key, "out of range");
  return Location::of_offsets(*offset, *offset + length);
}

std::optional<Source> Sarif_place_reader::source_of(const Json_value& artifact,
                                                    const std::string& where, std::string& name) {
  std::string uri = fields_.text(artifact, "uri", where);
  std::string base_id = fields_.text(artifact, "uriBaseId", where);
  if (uri.empty()) {
    const std::optional<std::int64_t> index = fields_.number(artifact, "index", where, 0);
    if (!index || run.artifacts == nullptr ||
        static_cast<std::uint64_t>(*index) >= run.artifacts->Size())
      fields_.refuse(where, "an artifact location with neither a URI nor an artifact's index");
    const std::string at = "artifacts[" + std::to_string(*index) + "]";
    const Json_value& listed = (*run.artifacts)[static_cast<rapidjson::SizeType>(*index)];
    fields_.require(listed, Json_kind::Object, at);
    const Json_value* location = fields_.member(listed, "location", Json_kind::Object, at);
    if (location == nullptr) fields_.refuse(at + ".location", "missing");
    uri = fields_.text(*location, "uri", at + ".location");
    base_id = fields_.text(*location, "uriBaseId", at + ".location");
  }
  for (const Source& known : options_.artifacts)
    if (detail::uri_of_name(known.name) == uri || detail::artifact_uri(known, false) == uri) {
      name = known.name;
      return known;
    }
  const std::string path = detail::path_of_uri(resolved(uri, base_id, where));
  name = detail::is_absolute_uri(uri) ? path : detail::percent_decoded(uri);
  if (!readable(path)) return std::nullopt;
  // One input a file: its reports share its line table, which a log of many
  // results in one large file would otherwise hold once per result.
  auto input = inputs_.find(path);
  if (input == inputs_.end()) input = inputs_.emplace(path, Input::file(path)).first;
  return Source(input->second, name);
}

// `uri` made absolute through its base ids, as far as they go.
std::string Sarif_place_reader::resolved(std::string uri, const std::string& first_id,
                                         const std::string& where) const {
  std::string base_id = first_id;
  for (int hops = 0; !detail::is_absolute_uri(uri); ++hops) {
    if (hops == 16) fields_.refuse(where + ".uriBaseId", "base ids nest too deep or in a circle");
    const Json_value* base =
        base_id.empty() || run.bases == nullptr
            ? nullptr
            : fields_.member(*run.bases, base_id, Json_kind::Object, "originalUriBaseIds");
    std::string base_uri = base == nullptr ? std::string() : fields_.text(*base, "uri", base_id);
    if (base_uri.empty())
      return options_.base_uri.empty() ? uri : detail::resolve_uri(options_.base_uri, uri, false);
    uri = detail::resolve_uri(base_uri, uri, false);
    base_id = fields_.text(*base, "uriBaseId", base_id);
  }
  return uri;
}

bool Sarif_place_reader::readable(const std::string& path) {
  const auto known = readable_.find(path);
  if (known != readable_.end()) return known->second;
  std::error_code ec;
  const bool ok =
      std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).is_open();
  readable_.emplace(path, ok);
  return ok;
}

}  // namespace vantel::detail
