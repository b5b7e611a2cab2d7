// Cost per call of ExactSin and ExactCos against the C library's sin and
// cos, on the arguments a drawing gives and on every exponent. Plain C++
// and a clock, so that the same program runs natively and under Wine.
//
//   bench_sincos [repetitions]     (default 9; the median is printed)
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

std::vector<Set> Sets() {
  std::vector<Set> sets = {{"one turn, 0 to 2 pi", {}},
                           {"within pi/4, no reduction", {}},
                           {"arcs to +-5000 degrees", {}},
                           {"every exponent", {}}};
  for (int i = 0; i < 4096; ++i) {
    sets[0].args.push_back(Uniform(0, 6.283185307179586));
    sets[1].args.push_back(Uniform(-0.78, 0.78));
    sets[2].args.push_back(Uniform(-5000, 5000) * 3.14159265358979 / 180);
    uint64_t bits = Next() & ~(uint64_t{0x7ff} << 52);
    bits |= (Next() % 2047) << 52;  // finite: exponents 0 to 2046
    double x;
    std::memcpy(&x, &bits, sizeof x);
    sets[3].args.push_back(x);
  }
  return sets;
}

volatile double sink;

template <class F>
double NsPerCall(const std::vector<double>& args, F f, int reps) {
  std::vector<double> times;
  for (int r = 0; r < reps; ++r) {
    double sum = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int pass = 0; pass < 50; ++pass)
      for (double x : args) sum += f(x);
    const auto t1 = std::chrono::steady_clock::now();
    sink = sum;
    times.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count() / (50.0 * args.size()));
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
    const double es = NsPerCall(s.args, [](double x) { return ExactSin(x); }, reps);
    const double ls = NsPerCall(s.args, [](double x) { return std::sin(x); }, reps);
    const double ec = NsPerCall(s.args, [](double x) { return ExactCos(x); }, reps);
    const double lc = NsPerCall(s.args, [](double x) { return std::cos(x); }, reps);
    std::printf("%-28s %9.1f %9.1f %9.1f %9.1f\n", s.name, es, ls, ec, lc);
  }
  return 0;
}
