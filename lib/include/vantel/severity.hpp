// SPDX-License-Identifier: MIT
// How grave a report is: one of four levels, or a word of the host's.
#pragma once

#include <string>
#include <string_view>

namespace vantel {

/// A report's severity. The four levels are spelt `Severity::Error`,
/// `Severity::Warning`, `Severity::Note` and `Severity::Help`; a word of the
/// host's ("lint", "remark") is `Severity::custom("lint")`, so that a typo
/// such as "eror" is not taken for a level by accident.
class Severity {
 public:
  /// The levels, plus Custom for a word of the host's.
  enum Level : unsigned char { Error, Warning, Note, Help, Custom };

  /// The level `level`; Custom gives the word "custom".
  Severity(Level level = Error) noexcept : level_(level) {}  // NOLINT(google-explicit-constructor)

  /// A word of the host's, shown as it is. A word that names a level gives
  /// that level.
  [[nodiscard]] static Severity custom(std::string word) { return Severity(std::move(word)); }

  /// The severity a word names: "error", "warning", "note" and "help" give
  /// their level, any other word is Custom.
  [[nodiscard]] static Severity of_word(std::string_view word) {
    return Severity(std::string(word));
  }

  /// A word as the severity, as reports took it before Severity existed.
  /// Deprecated: use a level, or Severity::custom for a word of the host's.
  [[deprecated("use Severity::Error, ..., or Severity::custom(word)")]] Severity(
      const char* word)  // NOLINT(google-explicit-constructor)
      : Severity(std::string(word)) {}

  /// The level; Custom for a word of the host's.
  [[nodiscard]] Level level() const noexcept { return level_; }

  /// The word shown: "error", "warning", "note", "help", or the host's.
  [[nodiscard]] std::string_view word() const noexcept {
    switch (level_) {
      case Error:
        return "error";
      case Warning:
        return "warning";
      case Note:
        return "note";
      case Help:
        return "help";
      case Custom:
        break;
    }
    return custom_.empty() ? std::string_view("custom") : std::string_view(custom_);
  }

  /// Severities are equal when they show the same word.
  friend bool operator==(const Severity& a, const Severity& b) noexcept {
    return a.word() == b.word();
  }
  /// Severities differ when they show different words.
  friend bool operator!=(const Severity& a, const Severity& b) noexcept { return !(a == b); }

 private:
  explicit Severity(std::string word) : level_(Custom) {
    if (word == "error")
      level_ = Error;
    else if (word == "warning")
      level_ = Warning;
    else if (word == "note")
      level_ = Note;
    else if (word == "help")
      level_ = Help;
    else
      custom_ = std::move(word);
  }

  Level level_;
  std::string custom_;
};

}  // namespace vantel
