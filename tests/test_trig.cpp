// The exact sine, cosine and arc tangent against reference values computed
// at high precision (tests/trig/make_reference.py), bit for bit.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/TestUtil.h"
#include "tests/trig/Check.h"

namespace {

std::vector<trigcheck::Row> Rows(const char* name) {
  const std::string bytes = kxtest::ReadBytes(std::filesystem::path(KX29_TEST_DATA) / "trig" / name);
  return std::string_view(name).ends_with(".txt") ? trigcheck::ParseHard(bytes)
                                                  : trigcheck::ParseRandom(bytes);
}

void ExpectAllSame(const std::vector<trigcheck::Row>& rows, const trigcheck::Result& r) {
  ASSERT_FALSE(rows.empty());
  for (const auto& f : r.failures) ADD_FAILURE() << f;
  EXPECT_EQ(r.failed, 0u) << "of " << r.checked;
}

TEST(ExactSinCos, HardArguments) {
  const auto rows = Rows("sincos_hard.txt");
  ExpectAllSame(rows, trigcheck::CheckSinCos(rows, trigcheck::kWideStrideHard));
}

TEST(ExactSinCos, RandomArguments) {
  const auto rows = Rows("sincos_random.bin");
  ExpectAllSame(rows, trigcheck::CheckSinCos(rows, trigcheck::kWideStrideRandom));
}

TEST(ExactAtan2, HardPairs) {
  const auto rows = Rows("atan2_hard.txt");
  ExpectAllSame(rows, trigcheck::CheckAtan2(rows, trigcheck::kWideStrideHard));
}

TEST(ExactAtan2, RandomPairs) {
  const auto rows = Rows("atan2_random.bin");
  ExpectAllSame(rows, trigcheck::CheckAtan2(rows, trigcheck::kWideStrideRandom));
}

}  // namespace
