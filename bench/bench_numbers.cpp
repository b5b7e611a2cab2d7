// The number routines against the standard library's conversions: FloatStr
// against std::to_chars (shortest form, and 15 significant digits), and
// StrToFloatZ against std::from_chars, on coordinates as a drawing holds them.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "myfunc/MyFunc.h"

namespace {

// Millimetre coordinates: whole numbers, one to four decimals, and fifteen
// significant digits from a computation, as in a real exchange file.
const std::vector<double>& Values() {
  static const std::vector<double> v = [] {
    std::mt19937_64 rng(29);
    std::uniform_real_distribution<double> coord(-50000, 50000);
    std::vector<double> out;
    for (int k = 0; k < 4096; ++k) {
      const double x = coord(rng);
      switch (k % 4) {
        case 0: out.push_back(std::round(x)); break;
        case 1: out.push_back(std::round(x * 10) / 10); break;
        case 2: out.push_back(std::round(x * 10000) / 10000); break;
        default: out.push_back(x); break;
      }
    }
    return out;
  }();
  return v;
}

const std::vector<std::string>& Texts() {
  static const std::vector<std::string> t = [] {
    std::vector<std::string> out;
    for (double v : Values()) {
      const std::u16string s = FloatStr(v);
      out.emplace_back(s.begin(), s.end());
    }
    return out;
  }();
  return t;
}

void BM_FloatStr(benchmark::State& state) {
  const auto& v = Values();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FloatStr(v[i++ & 4095]));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ToCharsShortest(benchmark::State& state) {
  const auto& v = Values();
  char buf[32];
  size_t i = 0;
  for (auto _ : state) {
    auto r = std::to_chars(buf, buf + sizeof buf, v[i++ & 4095]);
    benchmark::DoNotOptimize(r.ptr);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ToChars15Digits(benchmark::State& state) {
  const auto& v = Values();
  char buf[32];
  size_t i = 0;
  for (auto _ : state) {
    auto r = std::to_chars(buf, buf + sizeof buf, v[i++ & 4095], std::chars_format::general, 15);
    benchmark::DoNotOptimize(r.ptr);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_StrToFloatZ(benchmark::State& state) {
  std::vector<std::u16string> texts;
  for (const auto& t : Texts()) texts.emplace_back(t.begin(), t.end());
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(StrToFloatZ(texts[i++ & 4095]));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_FromChars(benchmark::State& state) {
  const auto& texts = Texts();
  size_t i = 0;
  for (auto _ : state) {
    const std::string& t = texts[i++ & 4095];
    double v;
    std::from_chars(t.data(), t.data() + t.size(), v);
    benchmark::DoNotOptimize(v);
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_FloatStr);
BENCHMARK(BM_ToCharsShortest);
BENCHMARK(BM_ToChars15Digits);
BENCHMARK(BM_StrToFloatZ);
BENCHMARK(BM_FromChars);
BENCHMARK_MAIN();
