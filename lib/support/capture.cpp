// SPDX-License-Identifier: MIT
#include "support/capture.hpp"

#include <exception>
#include <new>
#include <stdexcept>
#include <system_error>

namespace vantel::detail {

namespace {

void set(Error& error, std::errc code, const char* message) noexcept {
  error.code = std::make_error_code(code);
  try {
    error.message = message;
  } catch (...) {
    // Out of memory for the message itself: the code still tells.
    error.message.clear();
  }
}

// The failure's place, when it has one.
void set_place(Error& error) noexcept {
  try {
    throw;
  } catch (const Failure_place& place) {
    error.line = place.line();
    try {
      error.input = place.input();
    } catch (...) {
      error.input.clear();  // out of memory: the code and line still tell
    }
  } catch (...) {
    // A failure about no input.
  }
}

}  // namespace

void capture_current(Error& error) noexcept {
  set_place(error);
  try {
    throw;
  } catch (const std::system_error& e) {
    set(error, std::errc::io_error, e.what());
    error.code = e.code();
  } catch (const std::invalid_argument& e) {
    set(error, std::errc::invalid_argument, e.what());
  } catch (const std::out_of_range& e) {
    set(error, std::errc::result_out_of_range, e.what());
  } catch (const std::overflow_error& e) {
    set(error, std::errc::value_too_large, e.what());
  } catch (const std::length_error& e) {
    set(error, std::errc::value_too_large, e.what());
  } catch (const std::bad_alloc& e) {
    set(error, std::errc::not_enough_memory, e.what());
  } catch (const std::exception& e) {
    set(error, std::errc::io_error, e.what());
  } catch (...) {
    set(error, std::errc::io_error, "an exception that is not a std::exception");
  }
}

}  // namespace vantel::detail
