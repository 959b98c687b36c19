// SPDX-License-Identifier: MIT
// What an editor shows a report's code as, beyond its severity.
#pragma once

namespace vantel {

/// A mark on a report that editors render: faded for unnecessary code,
/// struck through for deprecated code.
enum class Report_tag {
  Unnecessary,  ///< unused or unreachable code; LSP tag 1
  Deprecated    ///< code that uses something deprecated; LSP tag 2
};

}  // namespace vantel
