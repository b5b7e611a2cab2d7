// What a run mode takes from the values the draughtsperson typed
// (myfunc/TypedValue.h reads them), and what it tells about them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "myfunc/TypedValue.h"

// What a run mode takes from its typed values, and what it tells about them.
struct TRunValues {
  // The values as RunMode takes them. For modes 7 to 10, p is NaN when a value
  // could not be read: the run then draws nothing rather than guess.
  double p = 0, q = 0;
  std::vector<std::u16string> notices;  // one line each, for the draughtsperson
  // Mode 12: the distances in the order typed, and "両": each both ways.
  std::vector<double> distances;
  bool both = false;
  // Mode 13: p counts equal parts ("等分") rather than giving a pitch; "連":
  // along the run of connected figures.
  bool parts = false, run = false;
};
TRunValues RunValues(int32_t mode, const std::vector<std::u16string>& words);
