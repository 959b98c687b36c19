// SPDX-License-Identifier: MIT
// A registry of the sources a host reports on, shared by its threads.
#pragma once

#include <vantel/source.hpp>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantel {

/// The sources of a run, each added once under its name and found again by
/// it from anywhere. Each source is one Input, so every quote, report and
/// conversion of it shares one line table. Any number of threads may add and
/// find at once; copies of a Sources share one registry.
class Sources {
 public:
  /// An empty registry.
  Sources();

  /// The file `name`, read at each quote (see Input::file); adding it again
  /// gives the source first added.
  Source add_file(const std::string& name);
  /// `text` (moved in) under `name`. Adding the same text under a name again
  /// gives the first source; another text under a taken name throws
  /// std::invalid_argument naming it.
  Source add_text(const std::string& name, std::string text);
  /// The caller's `text`, not copied (see Input::view: it must outlive every
  /// use of the source). Same rules for a taken name as add_text.
  Source add_view(const std::string& name, std::string_view text);

  /// The source added under `name`, if any.
  [[nodiscard]] std::optional<Source> find(std::string_view name) const;
  /// Every source, in the order they were added.
  [[nodiscard]] std::vector<Source> all() const;
  /// How many sources were added.
  [[nodiscard]] std::size_t size() const;

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace vantel
