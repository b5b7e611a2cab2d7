// How ExactSin, ExactCos and ExactAtan2 (MyFunc.h) get their result, open
// to the tests: a quick evaluation in 128-bit fixed point whose result is
// taken only when its error bound leaves no doubt about the rounding, and a
// wide evaluation with up to 1024 bits that it falls back on.
#pragma once

namespace exacttrig {

// The error bound of the quick evaluation, in bits below the value.
constexpr int kQuickBits = 96;

// The sine (cosine false) or cosine of x rounded to the nearest double,
// trusting the quick result to quickBits bits; a smaller quickBits sends
// more arguments to the wide evaluation and gives the same results.
double SinOrCos(double x, bool cosine, int quickBits = kQuickBits);

// The same by the wide evaluation alone.
double WideSinOrCos(double x, bool cosine);

// atan2(y, x) rounded to the nearest double, trusting the quick result to
// quickBits bits, and by the wide evaluation alone.
double Atan2(double y, double x, int quickBits = kQuickBits);
double WideAtan2(double y, double x);

}  // namespace exacttrig
