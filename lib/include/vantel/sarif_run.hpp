// SPDX-License-Identifier: MIT
// What a SARIF log says about the run around its results: how the tool was
// invoked and whether it succeeded.
#pragma once

#include <vantel/severity.hpp>

#include <string>
#include <vector>

namespace vantel {

/// Something the tool met while it ran rather than in the code it checked:
/// an input it could not read, an option it refused. One of the
/// invocation's `toolExecutionNotifications`.
struct Sarif_notification {
  std::string message;                  ///< what happened
  Severity severity = Severity::Error;  ///< its `level`, as a result's
};

/// The log's one `invocations` entry. Empty text members are left out.
struct Sarif_invocation {
  bool execution_successful = true;               ///< false when the tool failed
  std::vector<std::string> arguments;             ///< the command line, program first
  std::string working_directory;                  ///< an absolute path, written as a file URI
  std::string start_time_utc;                     ///< as given: "2026-01-31T12:00:00Z"
  std::string end_time_utc;                       ///< as given
  std::vector<Sarif_notification> notifications;  ///< in this order
};

}  // namespace vantel
