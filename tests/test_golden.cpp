// End-to-end runs of the built kx29: each folder under tests/golden/ is one
// case. The folder holds the exchange file as the host writes it
// (JWC_TEMP.TXT, may be absent), the arguments (args.txt, one per line, UTF-8),
// optionally a settings file (kx29.dat), and what the tool must leave behind:
// expected.TXT (the exchange file, byte for byte; absent: the file must be
// left exactly as it was) and optionally expected.dat (the settings file).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

  ASSERT_EQ(kxtest::RunKx29(dir.path(), Args(src / "args.txt")), 0);

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

}  // namespace
