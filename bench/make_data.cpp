// SPDX-License-Identifier: MIT
// vantel-bench-data DIR: writes the benchmarks' files and locations into DIR,
// the same bytes at every run.
#include "bench_data.hpp"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using vantel_bench::Source_generator;

constexpr std::size_t source_size = std::size_t{256} << 20;
constexpr std::size_t minified_size = std::size_t{1} << 20;
constexpr int unit_lines = 1000;
constexpr int minified_locations = 100'000;
constexpr int each_locations = 10'000;
constexpr int lines_lines = 100'000;

void write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void write_lines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  write(path, text);
}

std::string line_col(std::size_t line, std::size_t col) {
  return std::to_string(line) + ':' + std::to_string(col);
}

// 256 MiB of source lines, written a block at a time; the location is five
// bytes of a line a little before the end.
void source(const std::string& dir) {
  std::ofstream out(dir + "/" + vantel_bench::source_file, std::ios::binary | std::ios::trunc);
  Source_generator generator;
  std::string block;
  std::size_t written = 0;
  std::size_t line = 0;  // lines started so far
  std::size_t target_line = 0;
  std::size_t target_col = 0;
  std::size_t line_at_95 = 0;
  while (written < source_size) {
    block.clear();
    while (block.size() < (std::size_t{1} << 20)) {
      const std::size_t from = block.size();
      generator.line(block);
      ++line;
      const std::size_t len = block.size() - from - 1;
      if (len >= 10 && written + block.size() + 4096 < source_size) {
        target_line = line;
        target_col = 3;
      }
      if (len >= 10 && line_at_95 == 0 && (written + block.size()) * 20 >= source_size * 19)
        line_at_95 = line;
    }
    if (written + block.size() > source_size) block.resize(source_size - written);
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    written += block.size();
  }
  if (!out.flush()) throw std::runtime_error("cannot write the source file");
  write_lines(dir + "/" + vantel_bench::near_end_args,
              {line_col(target_line, target_col) + ".." + line_col(target_line, target_col + 5)});
  write_lines(dir + "/" + vantel_bench::at_95_args,
              {line_col(line_at_95, 3) + ".." + line_col(line_at_95, 8)});
}

// One 1 MiB line without spaces, and 100,000 disjoint 3-byte locations on it.
void minified(const std::string& dir) {
  static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz_0123456789(){};=+,.";
  Source_generator generator(7);
  std::string text;
  text.reserve(minified_size + 1);
  while (text.size() < minified_size) text.push_back(alphabet[generator.next() % 46]);
  text.push_back('\n');
  write(dir + "/" + vantel_bench::minified_file, text);
  std::vector<std::string> args;
  for (std::size_t i = 0; i < minified_locations; ++i) {
    const std::size_t offset = i * minified_size / minified_locations;
    args.push_back(std::to_string(offset) + ".." + std::to_string(offset + 3));
  }
  write_lines(dir + "/" + vantel_bench::minified_args, args);
}

// A 1,000-line unit and 10,000 diagnostics on it, each five bytes of a line
// of at least six, scattered over the file.
void unit(const std::string& dir) {
  Source_generator generator(11);
  std::string text;
  std::vector<std::size_t> lengths;
  for (int i = 0; i < unit_lines; ++i) {
    const std::size_t from = text.size();
    generator.line(text);
    lengths.push_back(text.size() - from - 1);
  }
  write(dir + "/" + vantel_bench::unit_file, text);
  std::vector<std::string> args;
  for (std::size_t i = 0; i < each_locations; ++i) {
    std::size_t line = i * 7919 % unit_lines;
    while (lengths[line] < 6) line = (line + 1) % unit_lines;
    const std::size_t col = 1 + generator.next() % (lengths[line] - 5);
    args.push_back(line_col(line + 1, col) + ".." + line_col(line + 1, col + 5));
  }
  write_lines(dir + "/" + vantel_bench::each_args, args);
}

// 100,000 lines of 0 to 80 bytes (4 MB), and 10,000 diagnostics spread over
// all of them, each five bytes of a line of at least six.
void lines(const std::string& dir) {
  Source_generator generator(13);
  std::string text;
  std::vector<std::size_t> lengths;
  for (int i = 0; i < lines_lines; ++i) {
    const std::size_t len = generator.next() % 81;
    text.append(len, static_cast<char>('a' + generator.next() % 26));
    text.push_back('\n');
    lengths.push_back(len);
  }
  write(dir + "/" + vantel_bench::lines_file, text);
  std::vector<std::string> args;
  for (std::size_t i = 0; i < each_locations; ++i) {
    std::size_t line = i * 7919 % lines_lines;
    while (lengths[line] < 6) line = (line + 1) % lines_lines;
    const std::size_t col = 1 + generator.next() % (lengths[line] - 5);
    args.push_back(line_col(line + 1, col) + ".." + line_col(line + 1, col + 5));
  }
  write_lines(dir + "/" + vantel_bench::lines_args, args);
}

}  // namespace

// One 256 MiB line of source text, a Latin letter (two bytes) for every
// thousandth line feed and an emoji (four bytes, two UTF-16 units) for
// every ten thousandth, and five UTF-16 units at its middle.
void one_line(const std::string& dir) {
  std::ofstream out(dir + "/" + vantel_bench::one_line_file, std::ios::binary | std::ios::trunc);
  Source_generator generator(11);
  std::string block;
  std::string lines;
  std::size_t written = 0;
  std::size_t feeds = 0;
  std::size_t units_before_middle = 0;
  const std::size_t middle = source_size / 2;
  while (written < source_size) {
    block.clear();
    while (block.size() < (std::size_t{1} << 20)) {
      lines.clear();
      generator.line(lines);
      lines.pop_back();
      block += lines;
      ++feeds;
      block += feeds % 10'000 == 0 ? "\xF0\x9F\x98\x80" : feeds % 1'000 == 0 ? "\xC3\xA9" : " ";
    }
    if (written + block.size() > source_size) block.resize(source_size - written);
    for (std::size_t k = 0; k < block.size() && written + k < middle; ++k) {
      const auto byte = static_cast<unsigned char>(block[k]);
      if ((byte & 0xC0) != 0x80) ++units_before_middle;
      if (byte >= 0xF0) ++units_before_middle;  // a surrogate pair
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    written += block.size();
  }
  out.put('\n');
  if (!out.flush()) throw std::runtime_error("cannot write the one-line file");
  const std::size_t col = units_before_middle + 1;
  write_lines(dir + "/" + vantel_bench::mid_line_args,
              {line_col(1, col) + ".." + line_col(1, col + 5)});
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantel-bench-data DIR\n");
    return 2;
  }
  try {
    source(argv[1]);
    minified(argv[1]);
    unit(argv[1]);
    lines(argv[1]);
    one_line(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vantel-bench-data: %s\n", e.what());
    return 1;
  }
  return 0;
}
