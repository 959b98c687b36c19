// SPDX-License-Identifier: MIT
// One SARIF result written from what was resolved of it, and the artifact
// locations that results and the run's list of artifacts share.
#pragma once

#include "export/json_writer.hpp"
#include "export/sarif_places.hpp"

#include <vantel/report.hpp>

#include <cstddef>
#include <string>
#include <string_view>

namespace vantel::detail {

// The id of the base URI that relative artifact URIs stand on.
inline constexpr const char* sarif_base_id = "SRCROOT";

// Writes artifact locations; notes whether one names a file by absolute
// path, for which code scanning wants a working folder.
struct Sarif_artifacts {
  bool relative = false;  // against the base URI
  bool absolute_files = false;

  void write(Json_writer& out, const Source& source);

 private:
  // The last source written and its URI: a result's places, and results
  // one after another, mostly name the same file.
  std::string last_name_;
  std::string last_path_;
  std::string last_uri_;
  bool last_absolute_ = false;
  bool known_ = false;
};

// A message object; bytes that are not UTF-8 are kept in base64 beside it.
void write_sarif_message(Json_writer& out, std::string_view text);

// What a result says beside its places.
struct Sarif_result_head {
  std::string id;  // its rule's
  std::size_t rule_index;
  std::string message;
  std::string fingerprint;  // its line hash, or empty
};

void write_sarif_result(Json_writer& out, const Report& report, const Sarif_result_head& head,
                        const Sarif_places& places, Sarif_artifacts& artifacts);

}  // namespace vantel::detail
