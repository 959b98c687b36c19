// SPDX-License-Identifier: MIT
// Suggested fixes: edits of one or several sources that a report proposes,
// drawn with it, applied, or exported for tools to apply.
#pragma once

#include <vantel/position.hpp>
#include <vantel/source.hpp>

#include <string>
#include <utility>
#include <vector>

namespace vantel {

/// How sure a fix is, for a tool that applies fixes unattended.
enum class Applicability {
  Machine_applicable,  ///< right as it stands; a tool may apply it
  Maybe_incorrect,     ///< probably right; ask before applying
  Has_placeholders,    ///< has text a person must fill in
  Unspecified          ///< not said
};

/// One edit: the text of `location` in `source` becomes `replacement`. An
/// empty location inserts at its start; an empty replacement deletes.
struct Edit {
  /// The edit of `where` in `in` to `text`.
  Edit(Source in, Location where, std::string text)
      : source(std::move(in)), location(std::move(where)), replacement(std::move(text)) {}

  Source source;            ///< the input and its shown name
  Location location;        ///< what is replaced
  std::string replacement;  ///< what replaces it
};

/// A suggested fix: a message and the edits that make it, applied together
/// as one change, so that every location refers to the text before the fix.
/// Edits may be in several sources; two edits of one source that overlap
/// make the fix invalid.
struct Fix {
  std::string message;                                       ///< drawn as "help: message"
  std::vector<Edit> edits;                                   ///< in any order
  Applicability applicability = Applicability::Unspecified;  ///< how sure the fix is
};

}  // namespace vantel
