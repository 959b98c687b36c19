// SPDX-License-Identifier: MIT
// Styling the highlighted runs of carets.
#pragma once

#include <vantel/formatter.hpp>

#include <functional>
#include <string>

namespace vantel {

/// The texts written where a highlighted run of carets opens and closes.
struct Tag_handlers {
  /// Called where a run of carets opens; empty means no text.
  std::function<std::string()> open_text;
  /// Called where a run of carets closes; empty means no text.
  std::function<std::string()> close_text;
};

/// Makes `formatter` write the handlers' texts around every highlighted run
/// of carets (for example terminal colour codes), and turns tag marking on.
/// Other tags keep the mark functions the formatter had; a second call wraps
/// the first. Without handlers, both texts are empty.
void setup_highlight_tags(Formatter& formatter);
/// The same, writing the texts that `handle_tag` returns.
void setup_highlight_tags(Formatter& formatter, Tag_handlers handle_tag);

}  // namespace vantel
