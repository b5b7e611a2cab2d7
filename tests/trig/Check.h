// ExactSin, ExactCos and ExactAtan2 against the reference values of
// make_reference.py, bit for bit. The same checks run natively
// (tests/test_trig.cpp) and in the Windows build under Wine
// (tests/windows/platform_check.cpp), so that both builds are held to the
// same numbers.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "myfunc/ExactTrig.h"
#include "myfunc/MyFunc.h"

namespace trigcheck {

// Three doubles, (x, sin x, cos x) or (y, x, atan2(y, x)), and what they are.
struct Row {
  double v[3];
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

// *_hard.txt: three doubles as their bits in hexadecimal, then what they
// are; lines starting with # are comments.
inline std::vector<Row> ParseHard(const std::string& text) {
  std::vector<Row> rows;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty() || line[0] == '#' || line.size() < 51) continue;
    Row r;
    for (int k = 0; k < 3; ++k) r.v[k] = FromBits(std::stoull(line.substr(17 * k, 16), nullptr, 16));
    r.what = line.substr(51);
    rows.push_back(r);
  }
  return rows;
}

// *_random.bin: three little-endian doubles, 24 bytes a row.
inline std::vector<Row> ParseRandom(const std::string& bytes) {
  std::vector<Row> rows;
  auto at = [&](size_t off) {
    uint64_t b = 0;
    for (int k = 7; k >= 0; --k) b = b << 8 | static_cast<unsigned char>(bytes[off + k]);
    return FromBits(b);
  };
  for (size_t off = 0; off + 24 <= bytes.size(); off += 24)
    rows.push_back({{at(off), at(off + 8), at(off + 16)}, "random"});
  return rows;
}

struct Result {
  size_t checked = 0;
  std::vector<std::string> failures;  // the first few, described
  size_t failed = 0;

  void Expect(double got, double want, const std::string& call, const Row& r) {
    ++checked;
    if (Bits(got) == Bits(want) || (std::isnan(got) && std::isnan(want))) return;
    if (++failed <= 20)
      failures.push_back(call + " = " + Hex(got) + ", not " + Hex(want) + " (" + r.what + ")");
  }
};

// How often the wide evaluation alone is checked: every hard case, every
// 16th random one (it takes a few microseconds a call).
constexpr size_t kWideStrideHard = 1, kWideStrideRandom = 16;

// Every row by the public functions and with the quick evaluation trusted to
// 60 bits only (so that about one in 60 goes on to the wide one), and every
// wideStride-th row by the wide evaluation alone.
inline Result CheckSinCos(const std::vector<Row>& rows, size_t wideStride) {
  Result res;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    const double x = r.v[0], sin = r.v[1], cos = r.v[2];
    const std::string arg = "(" + Hex(x) + ")";
    res.Expect(ExactSin(x), sin, "ExactSin" + arg, r);
    res.Expect(ExactCos(x), cos, "ExactCos" + arg, r);
    res.Expect(exacttrig::SinOrCos(x, false, 60), sin, "sin trusted to 60 bits" + arg, r);
    res.Expect(exacttrig::SinOrCos(x, true, 60), cos, "cos trusted to 60 bits" + arg, r);
    if (i % wideStride == 0) {
      res.Expect(exacttrig::WideSinOrCos(x, false), sin, "wide sin" + arg, r);
      res.Expect(exacttrig::WideSinOrCos(x, true), cos, "wide cos" + arg, r);
    }
  }
  return res;
}

inline Result CheckAtan2(const std::vector<Row>& rows, size_t wideStride) {
  Result res;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    const double y = r.v[0], x = r.v[1], angle = r.v[2];
    const std::string args = "(" + Hex(y) + ", " + Hex(x) + ")";
    res.Expect(ExactAtan2(y, x), angle, "ExactAtan2" + args, r);
    res.Expect(exacttrig::Atan2(y, x, 60), angle, "atan2 trusted to 60 bits" + args, r);
    if (i % wideStride == 0) res.Expect(exacttrig::WideAtan2(y, x), angle, "wide atan2" + args, r);
  }
  return res;
}

}  // namespace trigcheck
