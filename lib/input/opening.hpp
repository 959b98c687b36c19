// SPDX-License-Identifier: MIT
// Opening an input for the length of one operation.
#pragma once

#include "input/input_node.hpp"
#include "input/raw_cursor.hpp"
#include "input/thread_place.hpp"

#include <vantel/input.hpp>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace vantel::detail {

// What an Opened holds open: what its openers returned (keeping their cursors
// alive), their closers, and the cursor they lead to.
struct Held_opening {
  std::vector<Input> inner;
  Raw_cursor* cursor = nullptr;
  // The Opened that the openers led to, if they led to one: it must be open
  // too for this one to be read.
  std::shared_ptr<Held_opening> beneath;
  // The openings reading through it now, counted apart for each thread
  // place, so that threads reading at once share no lock and no cache line;
  // then whether it is closed.
  Line_gap gap;
  std::array<Apart<std::atomic<std::size_t>>, thread_places> readers;
  std::atomic<bool> closed{false};
  [[nodiscard]] std::size_t reading() const noexcept {
    std::size_t sum = 0;
    for (const auto& r : readers) sum += r.value.load();
    return sum;
  }
  // Guards what follows, and closing; held briefly, never while reading.
  std::mutex lock;
  std::condition_variable reading_ended;
  std::vector<Closer> closers;  // outermost first
  // Closed from inside a reading through it: the last reading to end takes
  // the closers.
  bool closed_inside = false;
};

// Closes `held` once: waits for the openings that other threads read through
// it, then runs its closers, innermost first, and returns the first failure.
// Closed from inside an opening through it (a callback), the closers run when
// that opening is done instead.
[[nodiscard]] std::exception_ptr close_held(Held_opening& held) noexcept;

// Whether an opening takes its cursor at once, or later with others
// (take_together).
enum class Take { Now, Later };

// An opened input (open_raw): runs the openers of nested managed inputs from
// the outermost inward and holds the cursor they lead to, and that cursor's
// lock, so that one thread at a time reads through it; when another thread
// holds it, a fork of that cursor (a cursor of its own over the same text),
// where the cursor has one, rather than waiting. Every closer that an
// opener returned runs exactly once, innermost first, after the lock is given
// back: by close(), or by the destructor when a failure unwinds, where a
// closer's own failure is dropped so that the original one reaches the
// caller. The input it opens must outlive it, as a caller's does for the
// call: holding a copy would make every quote touch the input's shared count,
// which threads quoting it at once would pass between them.
class Opening {
 public:
  explicit Opening(const Input& input, Take take = Take::Now);
  // An input that goes before the opening would leave it reading freed memory.
  explicit Opening(Input&& input, Take take = Take::Now) = delete;
  Opening(const Opening&) = delete;
  Opening& operator=(const Opening&) = delete;
  ~Opening();

  [[nodiscard]] Raw_cursor& cursor() const noexcept { return *cursor_; }

  // Gives the lock back and runs the closers, innermost first. When one
  // fails, the others still run and the first failure propagates.
  void close();

  // Runs the openers from `input` inward until a cursor or an Opened, keeping
  // what they return in `inner` and their closers in `closers`, and returns
  // the node reached. When one fails, the closers run and the failure
  // propagates.
  static const Input_node& open_inward(const Input& input, std::vector<Input>& inner,
                                       std::vector<Closer>& closers);

  // Takes the cursors of openings made with Take::Later all at once, never
  // waiting for one while holding another: two threads that open the same
  // inputs in other orders cannot wait for each other for ever.
  friend void take_together(const std::vector<std::unique_ptr<Opening>>& openings);

 private:
  // Takes the cursor's lock, or a fork of the cursor when another thread
  // holds it; waits for the lock of a cursor that cannot fork. Fails, giving
  // it back, when an Opened read through was closed.
  void take() {
    if (!take_without_waiting()) {
      cursor_->lock().lock();
      taken();
    }
  }
  // take(), unless it would have to wait: then false, having taken nothing.
  bool take_without_waiting();
  // With the lock of cursor_ held.
  void taken();
  // Gives the lock back; the closers of an Opened closed meanwhile join
  // closers_.
  void give_back() noexcept {
    if (!taken_) return;
    taken_ = false;
    if (held_ != nullptr) leave_held(nullptr);
    if (!fork_) {
      cursor_->lock().unlock();
      return;
    }
    cursor_ = forked_from_;
    cursor_->keep_fork(std::move(fork_));
  }
  void enter_held();
  // Ends this thread's reading through the Opened read through and those
  // beneath it, down to `until` (not included).
  void leave_held(const Held_opening* until) noexcept;
  void leave_one(Held_opening& held) noexcept;

  std::vector<Input> inner_;     // what openers returned, keeping their cursors alive
  std::vector<Closer> closers_;  // outermost first
  Raw_cursor* cursor_ = nullptr;
  std::unique_ptr<Raw_cursor> fork_;  // cursor_, when it is a fork
  Raw_cursor* forked_from_ = nullptr;
  Held_opening* held_ = nullptr;  // the Opened read through, if any
  bool taken_ = false;
};

void take_together(const std::vector<std::unique_ptr<Opening>>& openings);

// Opens `input`: `auto opened = open_raw(input);`.
[[nodiscard]] inline Opening open_raw(const Input& input) {
  return Opening(input);
}
Opening open_raw(Input&& input) = delete;

}  // namespace vantel::detail
