// End-to-end runs of the built kx29: each folder under tests/golden/ is one
// case. The folder holds the exchange file as the host writes it
// (JWC_TEMP.TXT, may be absent), the arguments (args.txt, one per line, UTF-8),
// optionally a settings file (kx29.dat), and what the tool must leave behind:
// expected.TXT (the exchange file, byte for byte; absent: the file must be
// left exactly as it was), optionally expected.dat (the settings file), and
// said.txt, what the run tells the draughtsperson (UTF-8; on standard error
// here, in a message box on Windows); without it the run says nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using kxtest::ReadBytes;

namespace {

std::vector<std::string> Cases() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(KX29_TEST_DATA) / "golden")) {
    if (e.is_directory()) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Args(const fs::path& file) {
  std::vector<std::string> args;
  if (!fs::exists(file)) return args;
  std::string text = ReadBytes(file);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string a = text.substr(start, end - start);
    if (!a.empty() && a.back() == '\r') a.pop_back();
    args.push_back(a);
    start = end + 1;
  }
  return args;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, RewritesTheExchangeFileExactly) {
  const fs::path src = fs::path(KX29_TEST_DATA) / "golden" / GetParam();
  kxtest::TempDir dir;
  const bool hasInput = fs::exists(src / "JWC_TEMP.TXT");
  if (hasInput) fs::copy_file(src / "JWC_TEMP.TXT", dir / "JWC_TEMP.TXT");
  if (fs::exists(src / "kx29.dat")) fs::copy_file(src / "kx29.dat", dir / "kx29.dat");

  std::string said;
  ASSERT_EQ(kxtest::RunKx29(dir.path(), Args(src / "args.txt"), &said), 0);
  EXPECT_EQ(said, fs::exists(src / "said.txt") ? ReadBytes(src / "said.txt") : "");

  if (fs::exists(src / "expected.TXT")) {
    ASSERT_TRUE(fs::exists(dir / "JWC_TEMP.TXT"));
    EXPECT_EQ(ReadBytes(dir / "JWC_TEMP.TXT"), ReadBytes(src / "expected.TXT"));
  } else if (hasInput) {
    EXPECT_EQ(ReadBytes(dir / "JWC_TEMP.TXT"), ReadBytes(src / "JWC_TEMP.TXT"));
  } else {
    EXPECT_FALSE(fs::exists(dir / "JWC_TEMP.TXT"));
  }
  if (fs::exists(src / "expected.dat")) {
    EXPECT_EQ(ReadBytes(dir / "kx29.dat"), ReadBytes(src / "expected.dat"));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           std::replace_if(n.begin(), n.end(),
                                           [](char c) { return !std::isalnum(c); }, '_');
                           return n;
                         });

// --- a run mode adds, and never takes away ------------------------------------
// The CAD program keeps the selection unless the tool writes "hd", and draws
// again whatever the tool writes back: a run mode that wrote "hd" would erase
// the user's selection, one that repeated it would draw it twice. So a run
// mode writes the pen's attributes and its points, and nothing else.

// Every run mode with the typed values it takes.
const std::vector<std::vector<std::string>> kRunModes = {
    {"1"}, {"2"}, {"3", "2000", "1000"}, {"4"}, {"5", "4"}, {"6", "6"},
    {"7", "910"}, {"7", "455", "両"}, {"8"}, {"9"}, {"10", "3"},
};

// The lines of a written exchange file that are neither pen attributes nor
// points, each with its line number.
std::vector<std::string> NotAdded(const std::string& bytes) {
  static const std::set<std::string> kAdded = {"lg", "ly", "lc", "lt", "lw", "pn", "pt", "bz", "hq"};
  std::string text = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
  std::vector<std::string> wrong;
  const std::vector<std::string> lines = kxtest::CrLfLines(text);
  for (size_t k = 0; k < lines.size(); ++k) {
    if (!kAdded.count(lines[k].substr(0, 2))) {
      wrong.push_back(std::to_string(k + 1) + ": " + lines[k].substr(0, 40));
    }
  }
  return wrong;
}

void ExpectAddsOnly(const fs::path& input, const std::string& what) {
  for (const auto& args : kRunModes) {
    kxtest::TempDir dir;
    fs::copy_file(input, dir / "JWC_TEMP.TXT");
    ASSERT_EQ(kxtest::RunKx29(dir.path(), args), 0) << what;
    const std::vector<std::string> wrong = NotAdded(ReadBytes(dir / "JWC_TEMP.TXT"));
    EXPECT_TRUE(wrong.empty()) << what << ", run mode " << args[0] << " wrote "
                               << wrong.size() << " lines that are no point, first " << wrong[0];
  }
}

TEST(AddsOnly, EveryRunModeOnEveryCase) {
  for (const std::string& name : Cases()) {
    const fs::path input = fs::path(KX29_TEST_DATA) / "golden" / name / "JWC_TEMP.TXT";
    if (fs::exists(input)) ExpectAddsOnly(input, name);
  }
}

TEST(AddsOnly, EveryRunModeOnGeneratedDrawings) {
  kxtest::TempDir dir;
  for (const std::string encoding : {"cp932", "utf8-bom", "utf16le-bom"}) {
    const fs::path file = dir / (encoding + ".txt");
    const std::string cmd = std::string("\"") + KX29_PYTHON + "\" \"" + KX29_GENERATOR + "\" \"" +
                            file.string() + "\" -n 3000 --encoding " + encoding;
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    ExpectAddsOnly(file, encoding);
  }
}

}  // namespace
