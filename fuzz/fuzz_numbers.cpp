// The number routines. For any text, StrToIntZ and StrToFloatZ end normally.
// For any finite double, FloatStr then StrToFloatZ then FloatStr gives the
// same text: what the tool writes, it reads back. For any int32, IntStr then
// StrToIntZ gives the number back. For any double, ExactSin and ExactCos
// agree with their wide evaluation alone (two different ways to the same
// nearest double), stay within [-1, 1], and are odd and even. For any two
// doubles, ExactAtan2 agrees with its wide evaluation alone, stays within
// [-pi, pi] and is odd in y.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzUtil.h"
#include "myfunc/ExactTrig.h"
#include "myfunc/MyFunc.h"

namespace {

bool Same(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bytes as UTF-16 code units, and as single characters, so that short
  // ASCII inputs are number texts too.
  std::u16string wide(size / 2, u'\0');
  if (!wide.empty()) std::memcpy(wide.data(), data, wide.size() * 2);
  const std::u16string narrow(data, data + size);
  const std::u16string* texts[] = {&wide, &narrow};
  for (const std::u16string* s : texts) {
    const int32_t i = StrToIntZ(*s);
    const double v = StrToFloatZ(*s);
    FUZZ_CHECK(std::isfinite(v));
    // The strict forms take exactly what the lenient ones read as a number.
    int32_t ti = 0;
    double tv = 0;
    if (TryStrToInt(*s, ti)) FUZZ_CHECK(ti == i);
    if (TryStrToFloat(*s, tv)) FUZZ_CHECK(Same(tv, v));
    if (v != 0) FUZZ_CHECK(TryStrToFloat(*s, tv));
  }

  if (size >= 8) {
    double v;
    std::memcpy(&v, data, sizeof v);
    if (std::isfinite(v)) {
      const std::u16string text = FloatStr(v);
      FUZZ_CHECK(FloatStr(StrToFloatZ(text)) == text);
      // The text is the value rounded to 15 significant digits, as the C
      // library rounds it (beyond the largest double: the largest double).
      char ref[40];
      std::snprintf(ref, sizeof ref, "%.14e", v);
      double want = std::strtod(ref, nullptr);
      if (std::isinf(want)) want = std::copysign(DBL_MAX, want);
      FUZZ_CHECK(StrToFloatZ(text) == want || (want == 0 && StrToFloatZ(text) == 0));
    }
    const double s = ExactSin(v), c = ExactCos(v);
    FUZZ_CHECK(Same(s, exacttrig::WideSinOrCos(v, false)));
    FUZZ_CHECK(Same(c, exacttrig::WideSinOrCos(v, true)));
    FUZZ_CHECK(std::isfinite(v) ? std::fabs(s) <= 1 && std::fabs(c) <= 1 : std::isnan(s) && std::isnan(c));
    FUZZ_CHECK(Same(ExactSin(-v), -s) && Same(ExactCos(-v), c));
  }
  if (size >= 16) {
    double y, x;
    std::memcpy(&y, data, sizeof y);
    std::memcpy(&x, data + 8, sizeof x);
    const double a = ExactAtan2(y, x);
    FUZZ_CHECK(Same(a, exacttrig::WideAtan2(y, x)));
    if (std::isnan(y) || std::isnan(x)) {
      FUZZ_CHECK(std::isnan(a));
    } else {
      FUZZ_CHECK(std::fabs(a) <= 0x1.921fb54442d18p+1 && Same(ExactAtan2(-y, x), -a));
    }
  }
  if (size >= 4) {
    int32_t i;
    std::memcpy(&i, data, sizeof i);
    FUZZ_CHECK(StrToIntZ(IntStr(i)) == i);
  }
  return 0;
}
