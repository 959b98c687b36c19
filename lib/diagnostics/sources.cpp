// SPDX-License-Identifier: MIT
#include "input/buffer_cursor.hpp"
#include "support/message_text.hpp"
#include "support/placed.hpp"

#include <vantel/sources.hpp>

#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace vantel {

struct Sources::Impl {
  mutable std::mutex mutex;
  std::map<std::string, std::size_t, std::less<>> index;
  std::vector<Source> order;
  // The text each text or view source was added with, to tell a second add
  // of the same text from a clash of names.
  std::map<std::size_t, std::string_view> texts;

  // The source under `name`, made by `make` when the name is new.
  Source add(const std::string& name, std::string_view text, bool is_file,
             const std::function<Input()>& make) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (auto it = index.find(name); it != index.end()) {
      const auto known = texts.find(it->second);
      const bool same =
          is_file ? known == texts.end() : known != texts.end() && known->second == text;
      if (!same)
        throw detail::Placed<std::invalid_argument>(
            Failure_place(name, 0),
            "source " + detail::message_text(name) + " was already added with other content");
      return order[it->second];
    }
    order.emplace_back(make(), name);
    index.emplace(name, order.size() - 1);
    if (!is_file) texts.emplace(order.size() - 1, text);
    return order.back();
  }
};

Sources::Sources() : impl_(std::make_shared<Impl>()) {}

Source Sources::add_file(const std::string& name) {
  return impl_->add(name, {}, true, [&] { return Input::file(name); });
}

Source Sources::add_text(const std::string& name, std::string text) {
  // Held by the input, so that the registry can compare a later add with it.
  using Held = std::shared_ptr<const std::string>;
  auto held = std::make_shared<const std::string>(std::move(text));
  return impl_->add(name, *held, false, [&] {
    return detail::buf(
        name, held, [](const Held& s) { return s->size(); },
        [](const Held& s, std::size_t i) { return (*s)[i]; },
        [](const Held& s) { return std::string_view(*s); }, detail::Buffer_table::Lazy);
  });
}

Source Sources::add_view(const std::string& name, std::string_view text) {
  return impl_->add(name, text, false, [&] { return Input::view(text, name); });
}

std::optional<Source> Sources::find(std::string_view name) const {
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  auto it = impl_->index.find(name);
  if (it == impl_->index.end()) return std::nullopt;
  return impl_->order[it->second];
}

std::vector<Source> Sources::all() const {
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->order;
}

std::size_t Sources::size() const {
  const std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->order.size();
}

}  // namespace vantel
