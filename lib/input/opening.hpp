// Opening an input for the length of one operation.
#pragma once

#include "input/input_node.hpp"
#include "input/raw_cursor.hpp"

#include <vantel/input.hpp>

#include <vector>

namespace vantel::detail {

// Whether an opening takes its cursor at once, or later with others
// (take_together).
enum class Take { Now, Later };

// An opened input (open_raw): runs the openers of nested managed inputs from
// the outermost inward and holds the cursor they lead to, and that cursor's
// lock, so that one thread at a time reads through it. Every closer that an
// opener returned runs exactly once, innermost first, after the lock is given
// back: by close(), or by the destructor when a failure unwinds, where a
// closer's own failure is dropped so that the original one reaches the
// caller.
class Opening {
 public:
  explicit Opening(const Input& input, Take take = Take::Now);
  Opening(const Opening&) = delete;
  Opening& operator=(const Opening&) = delete;
  ~Opening();

  [[nodiscard]] Raw_cursor& cursor() const noexcept { return *cursor_; }

  // Gives the lock back and runs the closers, innermost first. When one
  // fails, the others still run and the first failure propagates.
  void close();

  // Runs the openers from `input` inward until a cursor, keeping what they
  // return in `inner` and their closers in `closers`, and returns the node
  // reached. When one fails, the closers run and the failure
  // propagates.
  static const Input_node& open_inward(const Input& input, std::vector<Input>& inner,
                                       std::vector<Closer>& closers);

  // Takes the cursors of openings made with Take::Later all at once, never
  // waiting for one while holding another: two threads that open the same
  // inputs in other orders cannot wait for each other for ever.
  friend void take_together(const std::vector<Opening*>& openings);

 private:
  // Waits for the cursor's lock.
  void take();
  // Gives the lock back.
  void give_back() noexcept;

  Input input_;                  // as given: a raw input needs nothing more
  std::vector<Input> inner_;     // what openers returned, keeping their cursors alive
  std::vector<Closer> closers_;  // outermost first
  Raw_cursor* cursor_ = nullptr;
  bool taken_ = false;
};

void take_together(const std::vector<Opening*>& openings);

// Opens `input`: `auto opened = open_raw(input);`.
[[nodiscard]] inline Opening open_raw(const Input& input) {
  return Opening(input);
}

}  // namespace vantel::detail
