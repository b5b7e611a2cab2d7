// The exact sine and cosine against reference values computed at high
// precision (tests/sincos/make_reference.py), bit for bit.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/TestUtil.h"
#include "tests/sincos/Check.h"

namespace {

std::filesystem::path Data(const char* name) {
  return std::filesystem::path(KX29_TEST_DATA) / "sincos" / name;
}

void ExpectAllSame(const std::vector<sincoscheck::Case>& cases, size_t wideStride) {
  ASSERT_FALSE(cases.empty());
  const sincoscheck::Result r = sincoscheck::Check(cases, wideStride);
  for (const auto& f : r.failures) ADD_FAILURE() << f;
  EXPECT_EQ(r.failed, 0u) << "of " << r.checked;
}

TEST(ExactSinCos, HardArguments) {
  ExpectAllSame(sincoscheck::ParseHard(kxtest::ReadBytes(Data("hard.txt"))),
                sincoscheck::kWideStrideHard);
}

TEST(ExactSinCos, RandomArguments) {
  ExpectAllSame(sincoscheck::ParseRandom(kxtest::ReadBytes(Data("random.bin"))),
                sincoscheck::kWideStrideRandom);
}

}  // namespace
