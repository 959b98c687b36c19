// SPDX-License-Identifier: MIT
// Where a read log's physical locations point: the artifact's file, found
// through its URI and the run's base ids, and the region as a location in it.
#pragma once

#include "export/sarif_fields.hpp"

#include <vantel/sarif_read.hpp>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vantel::detail {

// What of a run places are read against.
struct Sarif_read_run {
  const Json_value* artifacts = nullptr;
  const Json_value* bases = nullptr;
  Column_unit unit = Column_unit::Utf16;
  bool char_offsets_in_bytes = false;
};

struct Read_place {
  std::optional<Source> source;  // none when the file cannot be read
  std::string name;
  std::optional<Location> location;
  std::int64_t line = 0;
  std::int64_t col = 0;
};

// "name:line:col", as far as the place gives them.
[[nodiscard]] std::string where_of(const Read_place& place);

class Sarif_place_reader {
 public:
  Sarif_place_reader(const Sarif_fields& fields, const Sarif_read_options& options)
      : fields_(fields), options_(options) {}

  Sarif_read_run run;

  // A physicalLocation object's place.
  [[nodiscard]] Read_place place_of(const Json_value& physical, const std::string& where);

  // The place of `region` (none: the whole file) in `artifact`.
  [[nodiscard]] Read_place place_in(const Json_value& artifact, const Json_value* region,
                                    const std::string& artifact_at, const std::string& region_at);

 private:
  std::optional<Location> char_location(const Input& input, const Json_value& region,
                                        const std::string& where) const;
  std::optional<Location> location_of(const Json_value& region, const std::string& where) const;
  std::optional<Location> offsets_of(const Json_value& region, const char* offset_key,
                                     const char* length_key, const std::string& where) const;
  std::optional<Source> source_of(const Json_value& artifact, const std::string& where,
                                  std::string& name);
  std::string resolved(std::string uri, const std::string& first_id,
                       const std::string& where) const;
  bool readable(const std::string& path);

  const Sarif_fields& fields_;
  const Sarif_read_options& options_;
  std::map<std::string, bool> readable_;
  std::map<std::string, Input> inputs_;  // by path
};

}  // namespace vantel::detail
