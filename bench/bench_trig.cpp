// Cost per call of ExactSin, ExactCos and ExactAtan2 against the C
// library's sin, cos and atan2, on the arguments a drawing gives and on
// every exponent. Plain C++ and a clock, so that the same program runs
// natively and under Wine.
//
//   bench_trig [repetitions]     (default 9; the median is printed)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "myfunc/MyFunc.h"

namespace {

uint64_t state = 1;
uint64_t Next() {  // splitmix64
  uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}
double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1p-53; }

struct Set {
  const char* name;
  std::vector<double> args;
};

double AnyDouble() {  // finite: exponents 0 to 2046
  uint64_t bits = Next() & ~(uint64_t{0x7ff} << 52);
  bits |= (Next() % 2047) << 52;
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

std::vector<Set> Sets() {
  std::vector<Set> sets = {{"one turn, 0 to 2 pi", {}},
                           {"within pi/4, no reduction", {}},
                           {"arcs to +-5000 degrees", {}},
                           {"every exponent", {}}};
  for (int i = 0; i < 4096; ++i) {
    sets[0].args.push_back(Uniform(0, 6.283185307179586));
    sets[1].args.push_back(Uniform(-0.78, 0.78));
    sets[2].args.push_back(Uniform(-5000, 5000) * 3.14159265358979 / 180);
    sets[3].args.push_back(AnyDouble());
  }
  return sets;
}

// Pairs (y, x), one after the other.
std::vector<Set> PairSets() {
  std::vector<Set> sets = {{"lines of drawings", {}}, {"every exponent", {}}};
  // A coordinate as drawn: whole, to 1 or 2 decimals, or any.
  auto coordinate = [] {
    const double v = Uniform(-5000, 5000);
    switch (Next() % 4) {
      case 0: return std::round(v);
      case 1: return std::round(v * 10) / 10;
      case 2: return std::round(v * 100) / 100;
      default: return v;
    }
  };
  for (int i = 0; i < 4096; ++i) {
    const double x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
    sets[0].args.insert(sets[0].args.end(), {y2 - y1, x2 - x1});
    sets[1].args.insert(sets[1].args.end(), {AnyDouble(), AnyDouble()});
  }
  return sets;
}

volatile double sink;

// f takes `arity` arguments from args at a time.
template <int arity, class F>
double NsPerCall(const std::vector<double>& args, F f, int reps) {
  std::vector<double> times;
  const size_t calls = args.size() / arity;
  for (int r = 0; r < reps; ++r) {
    double sum = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int pass = 0; pass < 50; ++pass) {
      for (size_t i = 0; i + arity <= args.size(); i += arity) {
        if constexpr (arity == 1) {
          sum += f(args[i]);
        } else {
          sum += f(args[i], args[i + 1]);
        }
      }
    }
    const auto t1 = std::chrono::steady_clock::now();
    sink = sum;
    times.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / (50.0 * calls));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  std::printf("ns per call, median of %d runs of 50 x 4096 calls\n", reps);
  std::printf("%-28s %9s %9s %9s %9s\n", "arguments", "ExactSin", "sin", "ExactCos", "cos");
  for (const Set& s : Sets()) {
    const double es = NsPerCall<1>(s.args, [](double x) { return ExactSin(x); }, reps);
    const double ls = NsPerCall<1>(s.args, [](double x) { return std::sin(x); }, reps);
    const double ec = NsPerCall<1>(s.args, [](double x) { return ExactCos(x); }, reps);
    const double lc = NsPerCall<1>(s.args, [](double x) { return std::cos(x); }, reps);
    std::printf("%-28s %9.1f %9.1f %9.1f %9.1f\n", s.name, es, ls, ec, lc);
  }
  std::printf("%-28s %11s %9s\n", "pairs", "ExactAtan2", "atan2");
  for (const Set& s : PairSets()) {
    const double ea = NsPerCall<2>(s.args, [](double y, double x) { return ExactAtan2(y, x); }, reps);
    const double la = NsPerCall<2>(s.args, [](double y, double x) { return std::atan2(y, x); }, reps);
    std::printf("%-28s %11.1f %9.1f\n", s.name, ea, la);
  }
  return 0;
}
