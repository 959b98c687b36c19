// SPDX-License-Identifier: MIT
// Diffs fed to git apply and to patch -p1 in a scratch folder: both must
// leave the file as vantel::apply patches it, and touch nothing else.
#include "helpers.hpp"

#include <vantel/vantel.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Edit_at {
  std::int64_t start;
  std::int64_t end;
  std::string text;
};

struct Diff_case {
  std::string name;
  std::string text;
  std::vector<Edit_at> edits;
};

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// What each tool makes of the diff of `c`, or a note of what went wrong.
void check_tools(const Diff_case& c) {
  std::vector<vantel::Fix> fixes(1);
  const vantel::Source source(vantel::Input::string(c.text), c.name);
  for (const Edit_at& e : c.edits)
    fixes[0].edits.emplace_back(source, test::offsets(e.start, e.end), e.text);
  vantel::Error error;
  const std::string expected = vantel::apply(source, fixes, error);
  if (error) return;
  const std::string diff = vantel::unified_diff(fixes);
  if (diff.empty()) {
    EXPECT_EQ(expected, c.text);
    return;
  }
  std::string folder = (fs::temp_directory_path() / "vantel-diff-XXXXXX").string();
  ASSERT_NE(::mkdtemp(folder.data()), nullptr);
  const fs::path root(folder);
  std::ofstream(root / "d.diff", std::ios::binary) << diff;
  const char* runs[][2] = {{"git", "git apply ../d.diff"},
                           {"patch", "patch -p1 -s --no-backup-if-mismatch < ../d.diff"}};
  for (const auto& [tool, command] : runs) {
    fs::create_directories((root / tool / c.name).parent_path());
    std::ofstream(root / tool / c.name, std::ios::binary) << c.text;
    std::ofstream(root / tool / "victim", std::ios::binary) << "v\n";
    const std::string line =
        "cd '" + (root / tool).string() + "' && " + command + " >/dev/null 2>&1";
    EXPECT_EQ(std::system(line.c_str()), 0) << tool << " refused:\n" << diff;
    EXPECT_EQ(read_all(root / tool / c.name), expected) << tool << ":\n" << diff;
    EXPECT_EQ(read_all(root / tool / "victim"), "v\n") << tool << ":\n" << diff;
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root / tool), {}),
              2 + std::count(c.name.begin(), c.name.end(), '/'))
        << tool << ":\n"
        << diff;
  }
  fs::remove_all(root);
}

const Diff_case named_cases[] = {
    {"innocent\n--- a/victim\n+++ b/victim", "a\n", {{0, 1, "b"}}},
    {"esc\x1b[31mred", "a\n", {{0, 1, "b"}}},
    {"with space", "a\n", {{0, 1, "b"}}},
    {"trailing ", "a\n", {{0, 1, "b"}}},
    {"tab\there", "a\n", {{0, 1, "b"}}},
    {"quote\"and\\back", "a\n", {{0, 1, "b"}}},
    {"caf\xc3\xa9", "a\n", {{0, 1, "b"}}},
    {"j.txt", "a\nb\nc\nd\n", {{1, 2, ""}}},
    {"k.txt", "a\r\nb\r\nc\r\n", {{1, 3, ""}}},
    {"l.txt", "a\nb\nc\n", {{1, 4, ""}}},
    {"m.txt", "a\nb", {{1, 2, ""}}},
    {"n.txt", "a\nb\n", {{3, 4, ""}}},
    {"o.txt", "a\n\nb\n", {{1, 2, ""}, {3, 4, "x"}}},
};

TEST(DiffTools, GitApplyAndPatchAgreeWithApplyOnNamedCases) {
  if (!have("git") || !have("patch")) GTEST_SKIP() << "needs git and patch";
  for (const Diff_case& c : named_cases) check_tools(c);
}

// Short texts of a few letters, blanks, line feeds and carriage returns, and
// fixes of up to three edits, from a fixed seed.
TEST(DiffTools, GitApplyAndPatchAgreeWithApplyOnRandomFixes) {
  if (!have("git") || !have("patch")) GTEST_SKIP() << "needs git and patch";
  std::mt19937 random(34);
  const std::string alphabet = "ab \n\n\r";
  const auto some_text = [&](std::size_t most) {
    std::string s(std::uniform_int_distribution<std::size_t>(0, most)(random), ' ');
    for (char& ch : s) ch = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 150; ++round) {
    Diff_case c{"r.txt", some_text(24), {}};
    const auto size = static_cast<std::int64_t>(c.text.size());
    std::int64_t at = 0;
    for (int k = 0; k < 3 && at <= size; ++k) {
      const std::int64_t start = at + std::uniform_int_distribution<std::int64_t>(0, 6)(random);
      if (start > size) break;
      const std::int64_t end =
          std::min(size, start + std::uniform_int_distribution<std::int64_t>(0, 4)(random));
      c.edits.push_back({start, end, some_text(4)});
      at = end + 1;
    }
    check_tools(c);
  }
}

}  // namespace
