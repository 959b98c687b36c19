// SPDX-License-Identifier: MIT
// Lines read from the bytes a cursor holds at hand, many at a time, are
// those that reading them one by one gives, and reading stops at the same
// byte.
#include "input/line_reader.hpp"
#include "input/opening.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using vantel::Input;

// The lines from `start` that start before `end`, each as it is and whether
// it ended, then the line read again at the start of the second one, then
// the next byte the cursor gives (-1 at the end).
std::string gather(const Input& input, std::int64_t start, std::int64_t end) {
  auto opened = vantel::detail::open_raw(input);
  std::string out;
  vantel::detail::Line_reader reader(opened.cursor());
  vantel::detail::Read_line line;
  std::int64_t second = -1;
  if (reader.seek(start)) {
    while (reader.position() < end && reader.next(line)) {
      out += std::to_string(line.start) + ':' + line.text + (line.ended ? "|" : "$");
      if (second < 0 && line.start > start) second = line.start;
    }
  }
  if (second >= 0 && reader.read(second, line))
    out += " again " + std::to_string(line.start) + ':' + line.text + ';';
  const vantel::Byte next = opened.cursor().read_char();
  out += "next " + (next ? std::to_string(*next) : std::string("-1"));
  opened.close();
  return out;
}

// A cursor over `text` with a buffer cursor's bounds, that only reads one
// byte at a time.
Input one_at_a_time(std::shared_ptr<const std::string> text) {
  auto position = std::make_shared<std::int64_t>(-1);
  const auto inbound = [text](std::int64_t i) {
    return i >= 0 && static_cast<std::uint64_t>(i) < text->size();
  };
  return Input::raw(
      [position, inbound](std::int64_t i) {
        if (!inbound(i)) return vantel::Seek_result::Invalid_position;
        *position = i;
        return vantel::Seek_result::Ok;
      },
      [position, inbound, text]() -> vantel::Byte {
        if (!inbound(*position)) return vantel::End_of_input;
        return static_cast<unsigned char>((*text)[static_cast<std::size_t>((*position)++)]);
      },
      [] { return vantel::Line_table{0}; });
}

std::string random_text(std::mt19937& random, std::size_t size) {
  static const char bytes[] = "ab\n\r";
  const int spread = std::uniform_int_distribution<>(0, 3)(random);  // from mostly 'a' to mixed
  std::string text(size, 'a');
  for (char& c : text)
    if (std::uniform_int_distribution<>(0, 6)(random) < spread * 2)
      c = bytes[std::uniform_int_distribution<>(0, 3)(random)];
  return text;
}

TEST(LineReader, ATextReadManyBytesAtATimeGivesWhatOneAtATimeGives) {
  std::mt19937 random(5);
  for (int round = 0; round < 400; ++round) {
    const auto text = std::make_shared<const std::string>(random_text(random, random() % 120));
    const auto size = static_cast<int>(text->size());
    const Input input = Input::string(*text);
    const Input reference = one_at_a_time(text);
    for (int k = 0; k < 20; ++k) {
      const std::int64_t start = std::uniform_int_distribution<>(-2, size + 2)(random);
      const std::int64_t end = start + std::uniform_int_distribution<>(-1, 40)(random);
      ASSERT_EQ(gather(input, start, end), gather(reference, start, end))
          << '"' << *text << "\" " << start << ".." << end;
    }
  }
}

// A file is read through a buffer of 16 KiB: runs stop at its end and go on
// after it is filled again.
TEST(LineReader, AFileReadManyBytesAtATimeGivesWhatOneAtATimeGives) {
  std::mt19937 random(9);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("vantel-lines-around-" + std::to_string(::getpid())))
                               .string();
  for (const std::size_t size : {std::size_t{100}, std::size_t{40000}}) {
    const std::string text = random_text(random, size);
    std::ofstream(path, std::ios::binary) << text;
    const Input file = Input::file(path);
    for (int k = 0; k < 60; ++k) {
      const std::int64_t start =
          std::uniform_int_distribution<std::int64_t>(-1, static_cast<std::int64_t>(size))(random);
      const std::int64_t end = start + std::uniform_int_distribution<>(-1, 20000)(random);
      // A fresh stream, as each quote of a file opens the file anew.
      std::istringstream stream(text);
      ASSERT_EQ(gather(file, start, end), gather(Input::in_channel(stream), start, end))
          << size << ": " << start << ".." << end;
    }
  }
  std::remove(path.c_str());
}

}  // namespace
