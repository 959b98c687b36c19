// SPDX-License-Identifier: MIT
// What one SARIF result points at, resolved before any of it is written: its
// locations, related locations, path and fixes, each a source and a region.
// Resolving reads the inputs and may fail; writing what it found cannot
// fail half way through a result.
#pragma once

#include "model/region.hpp"

#include <vantel/report.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantel::detail {

struct Sarif_place {
  const Source* source;
  Region region;
};

// What a child's related location says of the child, so that a reader can
// rebuild it: the message alone would not tell its parts apart.
struct Sarif_child {
  std::size_t index;     // from 1, among the report's descendants in order
  const Report* report;  // the child
  const Label* label;    // none for a child shown at the report's place
};

struct Sarif_location {
  Sarif_place place;
  std::string message;
  std::size_t depth = 0;  // a child's nesting level; 0 for the report's own labels
  std::optional<Sarif_child> child = std::nullopt;
};

// A path's event, numbered from 1 among all of the path's events.
struct Sarif_step {
  Sarif_place place;
  const std::string* message;
  std::int64_t depth;
  std::size_t order;
};

struct Sarif_replacement {
  Region region;
  const std::string* text;
};

struct Sarif_change {
  const Source* source;
  std::vector<Sarif_replacement> replacements;
};

struct Sarif_fix {
  const Fix* fix;
  std::vector<Sarif_change> changes;  // those with a replacement placed
};

struct Sarif_places {
  std::vector<Sarif_location> locations;  // the primary labels
  std::vector<Sarif_location> related;    // the secondary labels, then the children's
  std::vector<Sarif_step> steps;
  std::vector<Sarif_fix> fixes;            // those that can be applied
  std::vector<Note> notes;                 // on labels past the end and fixes left out
  std::optional<std::uint64_t> line_hash;  // of the first primary label's line
  std::size_t cut_lists = 0;               // lists cut to the upload limits
  std::size_t cut_locations = 0;           // what they lost
};

// Resolves `report`'s places through `regions`, cut to the upload limits;
// the line hash also covers rule `id` and the report's message.
[[nodiscard]] Sarif_places sarif_places(const Report& report, const std::string& id,
                                        Region_reader& regions);

}  // namespace vantel::detail
