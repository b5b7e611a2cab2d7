// How ExactSin and ExactCos (MyFunc.h) get their result, open to the tests:
// a quick evaluation in pairs of doubles whose result is taken only when
// its error bound leaves no doubt about the rounding, and a wide evaluation
// in integer words that it falls back on.
#pragma once

namespace exacttrig {

// The error bound of the quick evaluation, in bits below the value.
constexpr int kQuickBits = 95;

// The sine (cosine false) or cosine of x rounded to the nearest double,
// trusting the quick result to quickBits bits; a smaller quickBits sends
// more arguments to the wide evaluation and gives the same results.
double SinOrCos(double x, bool cosine, int quickBits = kQuickBits);

// The same by the wide evaluation alone.
double WideSinOrCos(double x, bool cosine);

}  // namespace exacttrig
