// SPDX-License-Identifier: MIT
#include "input/buffer_cursor.hpp"
#include "input/callable_cursor.hpp"
#include "input/channel_cursor.hpp"
#include "input/file_channel.hpp"
#include "input/input_node.hpp"
#include "input/kept_table.hpp"
#include "input/opening.hpp"
#include "support/capture.hpp"

#include <vantel/input.hpp>

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantel {
namespace detail {

void Input_node_deleter::operator()(Input_node* node) const noexcept {
  // Nodes released while one is being destroyed wait in this list; only the
  // outermost release destroys, one node at a time.
  thread_local Input_node* waiting = nullptr;
  thread_local bool destroying = false;
  node->next_to_destroy_ = waiting;
  waiting = node;
  if (destroying) return;
  destroying = true;
  while (waiting != nullptr) {
    std::unique_ptr<Input_node> next(waiting);
    waiting = next->next_to_destroy_;
  }
  destroying = false;
}

namespace {

std::shared_ptr<Input_node> new_node() {
  return std::shared_ptr<Input_node>(
      std::unique_ptr<Input_node, Input_node_deleter>(std::make_unique<Input_node>().release()));
}

}  // namespace

Input Input_node::make_raw(std::shared_ptr<Raw_cursor> cursor) {
  auto node = new_node();
  node->cursor = std::move(cursor);
  return Input(std::move(node));
}

Input Input_node::make_managed(std::function<std::pair<Input, Closer>()> opener,
                               std::string file_path) {
  auto node = new_node();
  node->opener = std::move(opener);
  node->file_path = std::move(file_path);
  return Input(std::move(node));
}

Input Input_node::make_held(std::shared_ptr<Held_opening> held) {
  auto node = new_node();
  node->held = std::move(held);
  return Input(std::move(node));
}

}  // namespace detail

Input Input::file(std::string name) {
  auto kept = std::make_shared<detail::Kept_table>();
  // Taken now: a later change of the working folder must not move the URI.
  std::error_code failed;
  std::string path = std::filesystem::absolute(name, failed).string();
  return detail::Input_node::make_managed(
      [name = std::move(name), kept = std::move(kept)]() -> std::pair<Input, Closer> {
        // The channel lives as long as the cursor reading it or the closer, so
        // its descriptor is released even if the closer never gets to run.
        auto channel = std::make_shared<detail::File_channel>(name, kept->identity());
        Input opened = detail::Input_node::make_raw(std::make_shared<detail::Channel_cursor>(
            channel->stream(), channel, &channel->buffer(),
            kept->for_opening(channel->buffer().identity())));
        return {std::move(opened), [channel] { channel->close(); }};
      },
      failed ? std::string() : std::move(path));
}

Input Input::string(std::string text, std::string name) {
  return detail::buf(
      std::move(name), std::move(text), [](const std::string& s) { return s.size(); },
      [](const std::string& s, std::size_t i) { return s[i]; },
      [](const std::string& s) { return std::string_view(s); }, detail::Buffer_table::Lazy);
}

Input Input::bytes(std::shared_ptr<std::vector<char>> buffer, std::string name) {
  using Buffer = std::shared_ptr<std::vector<char>>;
  // A null buffer reads as an empty one.
  return detail::buf(
      std::move(name), std::move(buffer),
      [](const Buffer& b) { return b ? b->size() : std::size_t{0}; },
      [](const Buffer& b, std::size_t i) { return (*b)[i]; },
      [](const Buffer& b) {
        return b ? std::string_view(b->data(), b->size()) : std::string_view();
      },
      detail::Buffer_table::Whole);
}

Input Input::in_channel(std::istream& channel, std::string name) {
  auto cursor = std::make_shared<detail::Channel_cursor>(channel);
  cursor->set_name(std::move(name));
  return detail::Input_node::make_raw(std::move(cursor));
}

Input Input::raw(std::function<Seek_result(std::int64_t)> seek, std::function<Byte()> read_char,
                 std::function<Line_table()> line_offsets, std::string name) {
  auto cursor = std::make_shared<detail::Callable_cursor>(std::move(seek), std::move(read_char),
                                                          std::move(line_offsets));
  cursor->set_name(std::move(name));
  return detail::Input_node::make_raw(std::move(cursor));
}

Input Input::managed(std::function<std::pair<Input, Closer>()> opener) {
  return detail::Input_node::make_managed(std::move(opener));
}

Opened Input::open() const {
  auto held = std::make_shared<detail::Held_opening>();
  const detail::Input_node& reached =
      detail::Opening::open_inward(*this, held->inner, held->closers);
  if (held->inner.empty()) return Opened(*this, nullptr);  // a cursor, or an Opened's input
  held->cursor = reached.held ? reached.held->cursor : reached.cursor.get();
  held->beneath = reached.held;
  Opened opened(Input(nullptr), held);  // closes, should the rest fail
  opened.input_ = detail::Input_node::make_held(std::move(held));
  return opened;
}

Opened Input::open(Error& error) const noexcept {
  std::optional<Opened> opened;
  detail::capture(error, [&] { opened.emplace(open()); });
  if (opened) return std::move(*opened);
  return Opened(Input(nullptr), nullptr);
}

Opened& Opened::operator=(Opened&& other) noexcept {
  if (this != &other) {
    if (held_) (void)detail::close_held(*held_);
    input_ = std::move(other.input_);
    held_ = std::move(other.held_);
  }
  return *this;
}

Opened::~Opened() {
  if (held_) (void)detail::close_held(*held_);
}

void Opened::close(Error& error) noexcept {
  detail::capture(error, [&] { close(); });
}

void Opened::close() {
  if (!held_) return;
  const std::exception_ptr failure = detail::close_held(*held_);
  held_ = nullptr;
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vantel
