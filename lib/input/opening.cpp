// SPDX-License-Identifier: MIT
#include "input/opening.hpp"

#include "input/input_node.hpp"
#include "input/thread_place.hpp"
#include "support/placed.hpp"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace vantel::detail {
namespace {

// Runs `closers` innermost first, each once, whatever the others do; returns
// the first failure.
std::exception_ptr run_all(std::vector<Closer> closers) noexcept {
  std::exception_ptr first;
  for (auto it = closers.rbegin(); it != closers.rend(); ++it) {
    if (!*it) continue;
    try {
      (*it)();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  return first;
}

// Locks every one of `locks`, as std::lock does: waits for one, tries the
// others, and when one is taken gives them all back and waits for that one.
void lock_all(const std::vector<std::recursive_mutex*>& locks) {
  const std::size_t n = locks.size();
  for (std::size_t first = 0; n != 0;) {
    locks[first]->lock();
    std::size_t k = 1;
    while (k < n && locks[(first + k) % n]->try_lock()) ++k;
    if (k == n) return;
    for (std::size_t j = 0; j < k; ++j) locks[(first + j) % n]->unlock();
    first = (first + k) % n;
    std::this_thread::yield();
  }
}

// The Opened that this thread reads through now, once for each reading.
thread_local std::vector<const Held_opening*> reading_here;

// Unlocks every one of `locks` when it goes.
class Unlock_all {
 public:
  explicit Unlock_all(const std::vector<std::recursive_mutex*>& locks) noexcept : locks_(locks) {}
  Unlock_all(const Unlock_all&) = delete;
  Unlock_all& operator=(const Unlock_all&) = delete;
  ~Unlock_all() {
    for (std::recursive_mutex* lock : locks_) lock->unlock();
  }

 private:
  const std::vector<std::recursive_mutex*>& locks_;
};

}  // namespace

std::exception_ptr close_held(Held_opening& held) noexcept {
  std::vector<Closer> closers;
  {
    std::unique_lock<std::mutex> hold(held.lock);
    if (held.closed.exchange(true)) return nullptr;
    // This thread's own readings (a callback closing it) close it as they
    // end; those of other threads end first.
    const auto own =
        static_cast<std::size_t>(std::count(reading_here.begin(), reading_here.end(), &held));
    held.reading_ended.wait(hold, [&] { return held.reading() == own; });
    if (own > 0) {
      held.closed_inside = true;
      return nullptr;
    }
    closers = std::exchange(held.closers, {});
  }
  return run_all(std::move(closers));
}

const Input_node& Opening::open_inward(const Input& input, std::vector<Input>& inner,
                                       std::vector<Closer>& closers) {
  const std::size_t outside = closers.size();
  try {
    for (;;) {
      const auto& node = inner.empty() ? input.node_ : inner.back().node_;
      if (!node) throw std::invalid_argument("cannot open an input that was moved from");
      if (node->cursor || node->held) return *node;
      auto [opened, closer] = node->opener();
      try {
        closers.push_back(std::move(closer));
      } catch (...) {
        run_all({std::move(closer)});
        throw;
      }
      inner.push_back(std::move(opened));
    }
  } catch (...) {
    // Close what was opened here, keeping the failure that got us here.
    const auto first = closers.begin() + static_cast<std::ptrdiff_t>(outside);
    std::vector<Closer> opened_here(std::make_move_iterator(first),
                                    std::make_move_iterator(closers.end()));
    closers.resize(outside);
    run_all(std::move(opened_here));
    throw;
  }
}

Opening::Opening(const Input& input, Take take) {
  // Most inputs need no opening: their node holds the cursor.
  const Input_node* node = input.node_.get();
  if (node != nullptr && node->cursor) {
    cursor_ = node->cursor.get();
  } else {
    const Input_node& reached = open_inward(input, inner_, closers_);
    held_ = reached.held.get();
    cursor_ = held_ != nullptr ? held_->cursor : reached.cursor.get();
  }
  if (take == Take::Later) return;
  try {
    this->take();
  } catch (...) {
    // The constructor does not finish, so the destructor will not run.
    run_all(std::exchange(closers_, {}));
    throw;
  }
}

void Opening::taken() {
  if (held_ != nullptr) {
    try {
      enter_held();
    } catch (...) {
      cursor_->lock().unlock();
      throw;
    }
  }
  cursor_->counted_columns().forget();
  taken_ = true;
}

bool Opening::take_without_waiting() {
  std::unique_ptr<Raw_cursor> parked = cursor_->take_parked_fork();
  if (!parked) {
    if (cursor_->lock().try_lock()) {
      taken();
      return true;
    }
    if (!cursor_->forks()) return false;
  }
  // Reading before forking: an Opened read through stays open meanwhile.
  if (held_ != nullptr) enter_held();
  try {
    fork_ = parked ? std::move(parked) : cursor_->take_fork();
  } catch (...) {
    if (held_ != nullptr) leave_held(nullptr);
    throw;
  }
  forked_from_ = cursor_;
  // A fork is this opening's alone: nobody else takes its lock.
  cursor_ = fork_.get();
  cursor_->counted_columns().forget();
  taken_ = true;
  return true;
}

void Opening::enter_held() {
  for (Held_opening* h = held_; h != nullptr; h = h->beneath.get()) {
    // Counted, then checked, while a closer marks it closed, then counts:
    // one of the two sees the other (both sequentially consistent).
    h->readers[thread_place()].value.fetch_add(1);
    bool closed = h->closed.load();
    if (!closed) {
      try {
        reading_here.push_back(h);
      } catch (...) {
        closed = true;  // cannot count it: read as if closed, failing the same way
      }
    }
    if (closed) {
      leave_one(*h);
      leave_held(h);
      throw Placed<std::invalid_argument>(
          Failure_place(cursor_->name(), 0),
          cursor_->name() + ": quoted through an opening that was closed");
    }
  }
}

void Opening::leave_one(Held_opening& held) noexcept {
  const auto mine = std::find(reading_here.rbegin(), reading_here.rend(), &held);
  if (mine != reading_here.rend()) reading_here.erase(std::next(mine).base());
  held.readers[thread_place()].value.fetch_sub(1);
  if (!held.closed.load()) return;
  // Closed meanwhile: its closer waits for this, or left the closing to the
  // last reading to end.
  const std::lock_guard<std::mutex> hold(held.lock);
  held.reading_ended.notify_all();
  if (!held.closed_inside || held.reading() != 0) return;
  held.closed_inside = false;
  // Its closers go after this opening's own, which run last to first, and
  // the innermost Opened's go last of all.
  try {
    closers_.insert(closers_.end(), std::make_move_iterator(held.closers.begin()),
                    std::make_move_iterator(held.closers.end()));
  } catch (...) {
    // Without room to gather them, they run here.
    (void)run_all(std::exchange(held.closers, {}));
  }
  held.closers.clear();
}

void Opening::leave_held(const Held_opening* until) noexcept {
  for (Held_opening* h = held_; h != until; h = h->beneath.get()) leave_one(*h);
}

Opening::~Opening() {
  // Reached with closers left only when a failure skipped close(); that
  // failure matters more than any of theirs.
  give_back();
  if (!closers_.empty()) (void)run_all(std::exchange(closers_, {}));
}

void Opening::close() {
  give_back();
  if (closers_.empty()) return;
  if (const auto failure = run_all(std::exchange(closers_, {}))) std::rethrow_exception(failure);
}

void take_together(const std::vector<std::unique_ptr<Opening>>& openings) {
  // Cursors that fork never make anyone wait: only the others are waited
  // for, all at once. Most inputs fork, so the list is rarely made.
  std::vector<std::recursive_mutex*> locks;
  for (const auto& opening : openings) {
    if (opening->taken_) continue;
    if (opening->cursor_->forks())
      opening->take();
    else
      locks.push_back(&opening->cursor_->lock());
  }
  std::sort(locks.begin(), locks.end());
  locks.erase(std::unique(locks.begin(), locks.end()), locks.end());
  lock_all(locks);
  // Each opening takes a hold of its own, which this thread gets at once as
  // it holds them all; then the common hold is given back, also on failure.
  const Unlock_all common(locks);
  for (const auto& opening : openings)
    if (!opening->taken_) opening->take();
}

}  // namespace vantel::detail
