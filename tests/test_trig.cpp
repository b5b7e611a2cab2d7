// The exact sine, cosine and arc tangent against reference values computed
// at high precision (tests/trig/make_reference.py), bit for bit.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/TestUtil.h"
#include "tests/trig/Check.h"

namespace {

// Every row of the reference file `name` (hard: text, random: binary) by `check`.
void ExpectAllSame(const char* name,
                   trigcheck::Result (*check)(const std::vector<trigcheck::Row>&, size_t),
                   size_t wideStride) {
  const std::string bytes = kxtest::ReadBytes(std::filesystem::path(KX29_TEST_DATA) / "trig" / name);
  const std::vector<trigcheck::Row> rows = std::string_view(name).ends_with(".txt")
                                               ? trigcheck::ParseHard(bytes)
                                               : trigcheck::ParseRandom(bytes);
  ASSERT_FALSE(rows.empty());
  const trigcheck::Result r = check(rows, wideStride);
  for (const auto& f : r.failures) ADD_FAILURE() << f;
  EXPECT_EQ(r.failed, 0u) << "of " << r.checked;
}

TEST(ExactSinCos, HardArguments) {
  ExpectAllSame("sincos_hard.txt", trigcheck::CheckSinCos, trigcheck::kWideStrideHard);
}

TEST(ExactSinCos, RandomArguments) {
  ExpectAllSame("sincos_random.bin", trigcheck::CheckSinCos, trigcheck::kWideStrideRandom);
}

TEST(ExactAtan2, HardPairs) {
  ExpectAllSame("atan2_hard.txt", trigcheck::CheckAtan2, trigcheck::kWideStrideHard);
}

TEST(ExactAtan2, RandomPairs) {
  ExpectAllSame("atan2_random.bin", trigcheck::CheckAtan2, trigcheck::kWideStrideRandom);
}

}  // namespace
