// ExactSin and ExactCos against the reference values of make_reference.py,
// bit for bit. The same checks run natively (tests/test_sincos.cpp) and in
// the Windows build under Wine (tests/windows/platform_check.cpp), so that
// both builds are held to the same numbers.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "myfunc/ExactTrig.h"
#include "myfunc/MyFunc.h"

namespace sincoscheck {

struct Case {
  double x, sin, cos;
  std::string what;
};

inline double FromBits(uint64_t b) { return std::bit_cast<double>(b); }
inline uint64_t Bits(double d) { return std::bit_cast<uint64_t>(d); }

inline std::string Hex(double d) {
  static const char digits[] = "0123456789abcdef";
  std::string s(16, '0');
  uint64_t b = Bits(d);
  for (int i = 15; i >= 0; --i, b >>= 4) s[i] = digits[b & 15];
  return s;
}

// hard.txt: "x sin cos what", the first three the bits of doubles in
// hexadecimal; lines starting with # are comments.
inline std::vector<Case> ParseHard(const std::string& text) {
  std::vector<Case> cases;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty() || line[0] == '#' || line.size() < 51) continue;
    Case c;
    c.x = FromBits(std::stoull(line.substr(0, 16), nullptr, 16));
    c.sin = FromBits(std::stoull(line.substr(17, 16), nullptr, 16));
    c.cos = FromBits(std::stoull(line.substr(34, 16), nullptr, 16));
    c.what = line.substr(51);
    cases.push_back(c);
  }
  return cases;
}

// random.bin: x, sin x, cos x as little-endian doubles, 24 bytes a case.
inline std::vector<Case> ParseRandom(const std::string& bytes) {
  std::vector<Case> cases;
  auto at = [&](size_t off) {
    uint64_t b = 0;
    for (int k = 7; k >= 0; --k) b = b << 8 | static_cast<unsigned char>(bytes[off + k]);
    return FromBits(b);
  };
  for (size_t off = 0; off + 24 <= bytes.size(); off += 24)
    cases.push_back({at(off), at(off + 8), at(off + 16), "random"});
  return cases;
}

struct Result {
  size_t checked = 0;
  std::vector<std::string> failures;  // the first few, described
  size_t failed = 0;
};

inline bool Same(double got, double want) {
  return Bits(got) == Bits(want) || (std::isnan(got) && std::isnan(want));
}

// How often the wide evaluation alone is checked: every hard case, every
// 16th random one (it takes a few microseconds a call).
constexpr size_t kWideStrideHard = 1, kWideStrideRandom = 16;

// Checks every case by the public functions and with the quick evaluation
// trusted to 60 bits only (so that about one in 60 goes on to the wide
// one), and every wideStride-th case by the wide evaluation alone.
inline Result Check(const std::vector<Case>& cases, size_t wideStride) {
  Result r;
  auto expect = [&r](double got, double want, const char* how, const Case& c) {
    ++r.checked;
    if (Same(got, want)) return;
    if (++r.failed <= 20) {
      r.failures.push_back(std::string(how) + "(" + Hex(c.x) + ") = " + Hex(got) + ", not " +
                           Hex(want) + " (" + c.what + ")");
    }
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    expect(ExactSin(c.x), c.sin, "ExactSin", c);
    expect(ExactCos(c.x), c.cos, "ExactCos", c);
    expect(exacttrig::SinOrCos(c.x, false, 60), c.sin, "sin trusted to 60 bits", c);
    expect(exacttrig::SinOrCos(c.x, true, 60), c.cos, "cos trusted to 60 bits", c);
    if (i % wideStride == 0) {
      expect(exacttrig::WideSinOrCos(c.x, false), c.sin, "wide sin", c);
      expect(exacttrig::WideSinOrCos(c.x, true), c.cos, "wide cos", c);
    }
  }
  return r;
}

}  // namespace sincoscheck
